#include "feeds/FeedText.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace quill::feeds {
namespace {

// Real text and its bytes, written down once from a reference encoder, never produced here.
struct Sample {
    const char* charset;
    std::string bytes;
    std::string text;
};

const Sample kSamples[] = {
    {"ISO-8859-2",
     "\x5a\x61\xbf\xf3\xb3\xe6\x20\x67\xea\xb6\x6c\xb1\x20\x6a\x61\xbc\xf1\x2c\x20\xc8\x61\x70"
     "\x65\x6b",
     "Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144, \u010capek"},
    {"KOI8-R", "\xf0\xd2\xc9\xd7\xc5\xd4\x20\xcd\xc9\xd2",
     "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"},
    {"windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2\x20\xec\xe8\xf0",
     "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"},
    {"windows-1250", "\xc8\x61\x70\x65\x6b", "\u010capek"},
    {"Shift_JIS", "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x6a\x83\x85\x81\x5b\x83\x58",
     "\u65e5\u672c\u8a9e\u306e\u30cb\u30e5\u30fc\u30b9"},
    {"EUC-JP", "\xc6\xfc\xcb\xdc\xb8\xec\xa4\xce\xa5\xcb\xa5\xe5\xa1\xbc\xa5\xb9",
     "\u65e5\u672c\u8a9e\u306e\u30cb\u30e5\u30fc\u30b9"},
    {"EUC-KR", "\xc7\xd1\xb1\xb9\xbe\xee\x20\xb4\xba\xbd\xba", "\ud55c\uad6d\uc5b4 \ub274\uc2a4"},
    {"GB18030", "\xd6\xd0\xce\xc4\xd0\xc2\xce\xc5", "\u4e2d\u6587\u65b0\u95fb"},
    {"Big5", "\xa4\xa4\xa4\xe5\xb7\x73\xbb\x44", "\u4e2d\u6587\u65b0\u805e"},
};

void PrintTo(const Sample& sample, std::ostream* os) {
    *os << sample.charset;
}

enum class Declared { InXml, InHttp, InBothDisagreeing };

using Case = std::tuple<Sample, Declared>;

std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char c : std::string(std::get<0>(info.param).charset)) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name.push_back(c);
        }
    }
    constexpr const char* where[] = {"_xml", "_http", "_both"};
    return name + where[static_cast<int>(std::get<1>(info.param))];
}

class DeclaredCharset : public testing::TestWithParam<Case> {};

// Windows-1252 stands in for the system code page, so a fallback shows as Latin letters.
TEST_P(DeclaredCharset, ReadsTheFeedsText) {
    const auto& [sample, declared] = GetParam();
    const auto fallback = platform::makeWindows1252CodePage();
    const std::string xml = declared == Declared::InHttp
                                ? ""
                                : std::string("<?xml encoding=\"") + sample.charset + "\"?>";
    const std::string contentType =
        declared == Declared::InXml
            ? "text/xml"
            : std::string("text/xml; charset=") +
                  (declared == Declared::InHttp ? sample.charset : "koi8-u");
    const std::string bytes = xml + "<title>" + sample.bytes + "</title>";
    EXPECT_EQ(decodeFeedBytes(bytes, contentType, *fallback),
              xml + "<title>" + sample.text + "</title>");
}

INSTANTIATE_TEST_SUITE_P(Charsets, DeclaredCharset,
                         testing::Combine(testing::ValuesIn(kSamples),
                                          testing::Values(Declared::InXml, Declared::InHttp,
                                                          Declared::InBothDisagreeing)),
                         caseName);

struct Label {
    const char* name;
    std::string bytes;
    std::string text;
};

void PrintTo(const Label& c, std::ostream* os) {
    *os << c.name;
}

class CharsetLabel : public testing::TestWithParam<Label> {};

TEST_P(CharsetLabel, NamesItsCharsetByAnyCommonAlias) {
    const auto fallback = platform::makeWindows1252CodePage();
    EXPECT_EQ(decodeFeedBytes(GetParam().bytes, std::string("text/xml;charset=") + GetParam().name,
                              *fallback),
              GetParam().text);
}

const std::string kPolish = "\xb3\xb1";
const std::string kRussian = "\xd0\xc9";
const std::string kJapanese = "\x93\xfa";
const std::string kKorean = "\xc7\xd1";
const std::string kChinese = "\xd6\xd0";

INSTANTIATE_TEST_SUITE_P(
    Aliases, CharsetLabel,
    testing::Values(Label{"latin2", kPolish, "\u0142\u0105"},
                    Label{"ISO_8859-2:1987", kPolish, "\u0142\u0105"},
                    Label{"iso8859-2", kPolish, "\u0142\u0105"},
                    Label{"csKOI8R", kRussian, "\u043f\u0438"},
                    Label{"koi8r", kRussian, "\u043f\u0438"}, Label{"x-sjis", kJapanese, "\u65e5"},
                    Label{"SJIS", kJapanese, "\u65e5"}, Label{"Windows-31J", kJapanese, "\u65e5"},
                    Label{"ks_c_5601-1987", kKorean, "\ud55c"},
                    Label{"\"euc-kr\"", kKorean, "\ud55c"}, Label{"GBK", kChinese, "\u4e2d"},
                    Label{"gb2312", kChinese, "\u4e2d"}, Label{"x-gbk", kChinese, "\u4e2d"},
                    // Shift_JIS as Windows reads it: the backslash stays a backslash.
                    Label{"shift_jis", "\\\x87\x40", "\\\u2460"},
                    // Names no system knows, or that a converter would read as more than a
                    // name, go through the system code page.
                    Label{"x-klingon", "\x93", "\u201c"}, Label{"", "\x93", "\u201c"},
                    Label{"koi8-r//TRANSLIT", "\x93", "\u201c"}, Label{"utf-7", "+AGE-", "+AGE-"}));

} // namespace
} // namespace quill::feeds
