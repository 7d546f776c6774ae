// Runs on every platform's XML reader: the same documents must give the same feeds.

#include "ui/Opml.h"

#include <gtest/gtest.h>

namespace quill::ui {
namespace {

using Addresses = std::vector<std::string>;

// Latin-1 text as UTF-16, little end first.
std::string utf16le(std::string_view latin1) {
    std::string out;
    for (const char c : latin1) {
        out += c;
        out += '\0';
    }
    return out;
}

struct Readable {
    const char* what;
    std::string document;
    Addresses addresses;
};

TEST(OpmlTest, ReadsTheWebFeedsOfEveryOutlineUnderTheBody) {
    const std::vector<Readable> cases{
        {"nested outlines, in document order",
         R"(<?xml version="1.0"?><opml version="2.0"><head><title>x</title></head><body>
            <outline text="News"><outline type="rss" xmlUrl="http://a.test/rss"/>
              <outline text="Deeper"><outline xmlUrl="https://b.test/feed"/></outline></outline>
            <outline xmlUrl="http://c.test/"/></body></opml>)",
         {"http://a.test/rss", "https://b.test/feed", "http://c.test/"}},
        {"only http and https addresses",
         R"x(<opml version="1.0"><body><outline xmlUrl="feed://a.test/"/>
            <outline xmlUrl="file:///etc/passwd"/><outline xmlUrl="javascript:alert(1)"/>
            <outline xmlUrl="/relative/rss"/><outline xmlUrl=""/><outline text="no url"/>
            <outline xmlUrl="HTTPS://d.test/x"/></body></opml>)x",
         {"HTTPS://d.test/x"}},
        {"outlines outside the body and other elements' xmlUrl do not count",
         R"(<opml><head><outline xmlUrl="http://head.test/"/></head><body>
            <group><outline xmlUrl="http://grouped.test/"/></group>
            <outline xmlUrl="http://kept.test/"/></body>
            <outline xmlUrl="http://after.test/"/></opml>)",
         {"http://kept.test/"}},
        {"a feed listed twice comes once",
         R"(<opml><body><outline xmlUrl="http://a.test/"/><outline xmlUrl="http://b.test/"/>
            <outline><outline xmlUrl="http://a.test/"/></outline></body></opml>)",
         {"http://a.test/", "http://b.test/"}},
        {"references and blanks around the address",
         "<opml><body><outline xmlUrl=\" http://a.test/?x=1&amp;y=&#x32;&quot; \"/>"
         "<outline xmlUrl='http://b.test/&#233;'/></body></opml>",
         {"http://a.test/?x=1&y=2\"", "http://b.test/\xC3\xA9"}},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF<opml><body><outline xmlUrl=\"http://a.test/\xC3\xA9\"/></body></opml>",
         {"http://a.test/\xC3\xA9"}},
        {"UTF-16 with a byte-order mark",
         "\xFF\xFE" + utf16le("<opml><body><outline xmlUrl=\"http://u.test/\xE9\"/></body></opml>"),
         {"http://u.test/\xC3\xA9"}},
        {"an outline without feeds", "<opml version=\"2.0\"><head/><body/></opml>", {}},
    };
    for (const Readable& c : cases) {
        const OpmlFeeds read = readOpml(c.document);
        EXPECT_EQ(read.problem, "") << c.what;
        EXPECT_EQ(read.addresses, c.addresses) << c.what;
    }
}

TEST(OpmlTest, RefusesWhatIsNotXmlOrNotOpml) {
    const std::vector<std::pair<const char*, std::string>> malformed{
        {"empty", ""},
        {"plain text", "http://a.test/rss\r\nhttp://b.test/rss\r\n"},
        {"unclosed", "<opml><body><outline xmlUrl=\"http://a.test/\"/></body>"},
        {"mismatched", "<opml><body><outline xmlUrl=\"http://a.test/\"></body></opml>"},
        {"cut off", "<opml><body><outline xmlUrl=\"http://a.te"},
        {"two roots", "<opml><body/></opml><opml><body/></opml>"},
        {"unquoted attribute", "<opml><body><outline xmlUrl=http://a.test/ /></body></opml>"},
    };
    for (const auto& [what, document] : malformed) {
        const OpmlFeeds read = readOpml(document);
        EXPECT_EQ(read.problem, "it is not a well-formed XML file") << what;
        EXPECT_TRUE(read.addresses.empty()) << what;
    }
    const OpmlFeeds rss = readOpml(
        R"(<rss version="2.0"><channel><outline xmlUrl="http://a.test/"/></channel></rss>)");
    EXPECT_NE(rss.problem.find("not an OPML outline"), std::string::npos) << rss.problem;
    EXPECT_NE(rss.problem.find("<rss>"), std::string::npos) << rss.problem;
    EXPECT_TRUE(rss.addresses.empty());
}

TEST(OpmlTest, WrittenFeedsReadBackUnchanged) {
    const Addresses feeds{"http://a.test/rss", "https://b.test/?a=1&b=<2>&c=\"3\"",
                          "http://c.test/\xC3\xA9t\xC3\xA9"};
    std::string document;
    for (const std::string& line : writeOpml(feeds)) {
        document += line + "\r\n";
    }
    EXPECT_NE(document.find("<title>Quillmark feeds</title>"), std::string::npos);
    EXPECT_NE(document.find("<opml version=\"2.0\">"), std::string::npos);
    const OpmlFeeds read = readOpml(document);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.addresses, feeds);
}

TEST(OpmlTest, UnlistedKeepsNewAddressesOnceAndComparesExactly) {
    EXPECT_EQ(unlisted({"http://a.test/", "http://b.test/"},
                       {"http://b.test/", "http://A.test/", "http://c.test/", "http://c.test/"}),
              (Addresses{"http://A.test/", "http://c.test/"}));
}

} // namespace
} // namespace quill::ui
