#include "feeds/FeedText.h"

#include <gtest/gtest.h>

namespace quill::feeds {
namespace {

using namespace std::string_literals;

struct EncodingCase {
    const char* what;
    std::string bytes;
    std::string contentType;
    std::string text;
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
    *os << c.what;
}

class FeedEncoding : public testing::TestWithParam<EncodingCase> {};

// Windows-1252 stands in for the system code page, so a wrong fallback shows.
TEST_P(FeedEncoding, ReadsTheFeedInItsOwnEncoding) {
    const auto fallback = platform::makeWindows1252CodePage();
    EXPECT_EQ(decodeFeedBytes(GetParam().bytes, GetParam().contentType, *fallback),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, FeedEncoding,
    testing::Values(
        EncodingCase{"utf-8 by default", "<rss>\xC3\xA9</rss>", "text/xml", "<rss>\u00e9</rss>"},
        EncodingCase{"declaration", "<?xml version='1.0' encoding='windows-1252'?><a>\x93</a>", "",
                     "<?xml version='1.0' encoding='windows-1252'?><a>\u201c</a>"},
        EncodingCase{
            "declaration over charset", "<?xml version=\"1.0\" encoding = \"UTF-8\"?>\xC3\xA9",
            "text/xml; charset=windows-1252", "<?xml version=\"1.0\" encoding = \"UTF-8\"?>\u00e9"},
        EncodingCase{"charset", "<rss>\xE9</rss>", "text/xml; Charset=\"ISO-8859-1\"",
                     "<rss>\u00e9</rss>"},
        EncodingCase{"charset among parameters", "\xE9",
                     "application/rss+xml;q=1 ; charset = cp1252", "\u00e9"},
        EncodingCase{"latin-1 label read as its superset", "<?xml encoding=\"iso-8859-1\"?>\x80",
                     "", "<?xml encoding=\"iso-8859-1\"?>\u20ac"},
        EncodingCase{"bom over declaration",
                     "\xEF\xBB\xBF<?xml encoding=\"windows-1252\"?>\xE2\x80\x9C", "",
                     "<?xml encoding=\"windows-1252\"?>\u201c"},
        EncodingCase{"unknown name uses the code page", "<?xml encoding=\"x-klingon\"?>\x93", "",
                     "<?xml encoding=\"x-klingon\"?>\u201c"},
        EncodingCase{"utf-16 little endian", "\xFF\xFE<\0\xE9\0=\xD8\0\xDE"s, "",
                     "<\u00e9\U0001F600"},
        EncodingCase{"utf-16 big endian", "\xFE\xFF\0<\0\xE9"s, "", "<\u00e9"},
        EncodingCase{"utf-16 without a mark", "<\0r\0"s, "", "<r"},
        EncodingCase{"utf-16 lone surrogate and odd byte", "\xFF\xFE\x00\xD8<\0x"s, "", "?<?"},
        EncodingCase{"utf-16 label on ascii bytes", "<?xml encoding=\"UTF-16\"?>\xC3\xA9", "",
                     "<?xml encoding=\"UTF-16\"?>\u00e9"},
        EncodingCase{"ill-formed utf-8", "a\xC3(\xFF\xE2\x82z", "", "a?(??z"}));

} // namespace
} // namespace quill::feeds
