// Runs on every platform's XML reader: the same documents must give the same feeds.

#include "ui/Opml.h"

#include <gtest/gtest.h>

namespace quill::ui {
namespace {

// Latin-1 text as UTF-16, little end first, after its byte-order mark.
std::string utf16le(std::string_view latin1) {
    std::string out = "\xFF\xFE";
    for (const char c : latin1) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(OpmlTest, ReadsTheWebFeedsOfEveryOutlineUnderTheBodyOnce) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {R"(<?xml version="1.0"?><opml version="2.0"><head><title>x</title></head><body>
            <outline text="News"><outline type="rss" xmlUrl="http://a.test/rss"/>
              <outline text="Deeper"><outline xmlUrl="https://b.test/feed"/></outline></outline>
            <outline xmlUrl="http://a.test/rss"/><outline xmlUrl="http://c.test/"/></body></opml>)",
         {"http://a.test/rss", "https://b.test/feed", "http://c.test/"}},
        {R"x(<opml><head><outline xmlUrl="http://head.test/"/></head><body>
            <outline xmlUrl="feed://a.test/"/><outline xmlUrl="file:///etc/passwd"/>
            <outline xmlUrl="javascript:alert(1)"/><outline xmlUrl="/relative"/><outline/>
            <group><outline xmlUrl="http://grouped.test/"/></group>
            <outline xmlUrl="HTTPS://d.test/x"/></body></opml>)x",
         {"HTTPS://d.test/x"}},
        {"\xEF\xBB\xBF<opml><body><outline xmlUrl=\" http://a.test/?x=1&amp;y=&#x32;&quot; \"/>"
         "<outline xmlUrl='http://b.test/&#233;'/></body></opml>",
         {"http://a.test/?x=1&y=2\"", "http://b.test/\xC3\xA9"}},
        {utf16le("<opml><body><outline xmlUrl=\"http://u.test/\xE9\"/></body></opml>"),
         {"http://u.test/\xC3\xA9"}},
        {"<opml version=\"2.0\"><head/><body/></opml>", {}},
        // A bare "&" is taken as itself by every platform's reader.
        {R"(<opml><body><outline text="Tom & Jerry" xmlUrl="http://a.test/?x=1&y=&#50;&amp;z=&copy"/>
            <outline xmlUrl="http://b.test/&nbsp;&"/></body></opml>)",
         {"http://a.test/?x=1&y=2&z=&copy", "http://b.test/&nbsp;&"}},
        {utf16le("<opml><body><outline xmlUrl=\"http://u.test/?a=\xE9&b=&lt;\"/></body></opml>"),
         {"http://u.test/?a=\xC3\xA9&b=<"}},
    };
    for (const auto& [document, addresses] : cases) {
        const OpmlFeeds read = readOpml(document);
        EXPECT_EQ(read.problem, "") << document;
        EXPECT_EQ(read.addresses, addresses) << document;
    }
}

TEST(OpmlTest, RefusesWhatIsNotXmlOrNotOpml) {
    for (const std::string document :
         {"", "http://a.test/rss\r\nhttp://b.test/rss\r\n",
          "<opml><body><outline xmlUrl=\"http://a.test/\"></body></opml>",
          "<opml><body><outline xmlUrl=\"http://a.te", "<opml><body/></opml><opml/>",
          "<opml><body><outline xmlUrl=http://a.test/ /></body></opml>"}) {
        const OpmlFeeds read = readOpml(document);
        EXPECT_EQ(read.problem, "it is not a well-formed XML file") << document;
        EXPECT_TRUE(read.addresses.empty()) << document;
    }
    const OpmlFeeds rss =
        readOpml(R"(<rss><channel><outline xmlUrl="http://a.test/"/></channel></rss>)");
    EXPECT_NE(rss.problem.find("not an OPML outline"), std::string::npos) << rss.problem;
    EXPECT_NE(rss.problem.find("<rss>"), std::string::npos) << rss.problem;
    EXPECT_TRUE(rss.addresses.empty());
}

} // namespace
} // namespace quill::ui
