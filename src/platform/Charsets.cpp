#include "platform/Charsets.h"

#include <array>
#include <cctype>

namespace quill::platform {

namespace {

struct Aliases {
    KnownCharset charset;
    std::string_view names; // normalised, separated by spaces
};

// Where a label stands for a family, the member that browsers read it as, so that a feed
// reads the same on both systems: Shift_JIS as Windows-31J, EUC-KR as UHC, GB2312 as GBK.
constexpr auto kCharsets = std::to_array<Aliases>({
    {{"CP1250", 1250}, "windows1250 cp1250 xcp1250"},
    {{"CP1251", 1251}, "windows1251 cp1251 xcp1251"},
    {{"CP1253", 1253}, "windows1253 cp1253 xcp1253"},
    {{"CP1254", 1254}, "windows1254 cp1254 xcp1254"},
    {{"CP1255", 1255}, "windows1255 cp1255 xcp1255"},
    {{"CP1256", 1256}, "windows1256 cp1256 xcp1256"},
    {{"CP1257", 1257}, "windows1257 cp1257 xcp1257"},
    {{"CP1258", 1258}, "windows1258 cp1258 xcp1258"},
    {{"ISO-8859-2", 28592}, "iso88592 iso885921987 latin2 l2 isoir101 csisolatin2"},
    {{"ISO-8859-3", 28593}, "iso88593 iso885931988 latin3 l3 isoir109 csisolatin3"},
    {{"ISO-8859-4", 28594}, "iso88594 iso885941988 latin4 l4 isoir110 csisolatin4"},
    {{"ISO-8859-5", 28595}, "iso88595 iso885951988 cyrillic isoir144 csisolatincyrillic"},
    {{"ISO-8859-6", 28596}, "iso88596 iso885961987 arabic isoir127 asmo708 csisolatinarabic"},
    {{"ISO-8859-7", 28597}, "iso88597 iso885971987 greek greek8 isoir126 elot928 csisolatingreek"},
    {{"ISO-8859-8", 28598}, "iso88598 iso885981988 hebrew isoir138 visual csisolatinhebrew"},
    {{"ISO-8859-8", 38598}, "iso88598i logical csiso88598i"},
    {{"ISO-8859-9", 28599}, "iso88599 iso885991989 latin5 l5 isoir148 csisolatin5"},
    {{"ISO-8859-13", 28603}, "iso885913"},
    {{"ISO-8859-15", 28605}, "iso885915 latin9 l9 csiso885915"},
    {{"KOI8-R", 20866}, "koi8r koi8 cskoi8r"},
    {{"KOI8-U", 21866}, "koi8u koi8ru"},
    {{"IBM866", 866}, "ibm866 cp866 866 csibm866"},
    {{"CP874", 874}, "windows874 cp874 dos874 tis620 iso885911"},
    {{"CP932", 932}, "shiftjis sjis xsjis mskanji windows31j cp932 csshiftjis csmskanji"},
    {{"EUC-JP", 20932}, "eucjp xeucjp cseucpkdfmtjapanese"},
    {{"CP949", 949},
     "euckr cseuckr uhc cp949 windows949 ksc56011987 ksc56011989 ksc5601 isoir149 csksc56011987 "
     "korean"},
    {{"GB18030", 54936}, "gb18030"},
    {{"CP936", 936},
     "gbk xgbk cp936 windows936 ms936 gb2312 csgb2312 gb231280 csiso58gb231280 isoir58 euccn "
     "chinese"},
    {{"CP950", 950}, "big5 csbig5 cnbig5 xxbig5 cp950 windows950"},
    {{"MACINTOSH", 10000}, "macintosh mac xmacroman csmacintosh"},
    {{"MAC-CYRILLIC", 10007}, "xmaccyrillic xmacukrainian"},
    {{"IBM437", 437}, "ibm437 cp437 437 cspc8codepage437"},
    {{"IBM850", 850}, "ibm850 cp850 850 cspc850multilingual"},
    {{"IBM852", 852}, "ibm852 cp852 852 cspcp852"},
    {{"IBM855", 855}, "ibm855 cp855 855 csibm855"},
    {{"IBM862", 862}, "ibm862 cp862 862 cspc862latinhebrew"},
});

} // namespace

std::string normalisedCharsetName(std::string_view name) {
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c)) {
            out.push_back(static_cast<char>(std::tolower(c)));
        }
    }
    return out;
}

std::optional<KnownCharset> knownCharset(std::string_view name) {
    const std::string key = normalisedCharsetName(name);
    for (const Aliases& entry : kCharsets) {
        std::string_view names = entry.names;
        while (!names.empty()) {
            const std::size_t space = names.find(' ');
            if (names.substr(0, space) == key) {
                return entry.charset;
            }
            names = space == std::string_view::npos ? "" : names.substr(space + 1);
        }
    }
    return std::nullopt;
}

} // namespace quill::platform
