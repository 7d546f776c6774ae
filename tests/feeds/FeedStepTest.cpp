#include "FeedFiles.h"

#include <gtest/gtest.h>
#include <vector>

namespace quill::feeds {
namespace {

using Fields = std::vector<std::string>;

// A channel around one item whose title is the text under test; the title is field 4.
std::string itemTitleFeed(std::string_view title) {
    return "<rss><channel><title>T</title><link>L</link><description>D</description><item>"
           "<title>" +
           std::string(title) +
           "</title><link>LA</link><description>DA</description></item></channel></rss>";
}

class FeedStep : public testing::Test {
protected:
    FeedResult extract(std::string body, std::optional<std::string_view> repIni = std::nullopt) {
        return test::extractBody(std::move(body), *utf8_, repIni);
    }
    std::string titleOf(std::string_view title,
                        std::optional<std::string_view> repIni = std::nullopt) {
        const FeedResult result = extract(itemTitleFeed(title), repIni);
        return result.fields.size() > 3 ? result.fields[3] : "<no field>";
    }

    std::unique_ptr<platform::CodePage> utf8_ = platform::makeUtf8CodePage();
};

struct TitleCase {
    std::string_view title;
    std::string_view field;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::string(c.title));
}

class TitleDecoding : public FeedStep, public testing::WithParamInterface<TitleCase> {};

TEST_P(TitleDecoding, DecodesByTheFixedTable) {
    EXPECT_EQ(titleOf(GetParam().title), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TitleDecoding,
    testing::Values(
        TitleCase{"A &amp; B", "A & B"}, TitleCase{"<![CDATA[Hello]]>", " Hello "},
        TitleCase{"x&#44;y", "x`y"}, TitleCase{"x&#044;y", "x`y"}, TitleCase{"a&#32;b", "a ;b"},
        TitleCase{"a&#032;b", "a ;b"},
        // "&amp;" goes before the numeric references, so escaped references decode twice; the
        // references the table leaves are decoded after it.
        TitleCase{"&amp;#39;", "'"}, TitleCase{"&amp;lt;", "<"}, TitleCase{"&#38;#38;", "&"},
        TitleCase{"&#169; 2024", "\u00a9 2024"},
        TitleCase{"&quot;Q&quot; &#151; &#039;", "\"Q\" - '"},
        TitleCase{"&#33;&#35;&#36;&#37;&#38;&#39;&#40;&#41;&#42;&#43;&#45;&#46;&#47;&#58;&#59;"
                  "&#60;&#61;&#62;&#63;",
                  "!#$%&'()*+-./:;<=>?"},
        TitleCase{"&#033;&#035;&#036;&#037;&#038;&#039;&#040;&#041;&#042;&#043;&#045;&#046;"
                  "&#047;&#058;&#059;&#060;&#061;&#062;&#063;",
                  "!#$%&'()*+-./:;<=>?"},
        // After the table, the references it does not name; a "|" ends the field as a mark does.
        TitleCase{"&apos;&nbsp;&#x41;&#34;&#233;&#124;x", "'\u00a0A\"\u00e9"},
        // Escaped markup is text, never a field boundary; other tag spellings are no markers.
        TitleCase{"&lt;title&gt;x&lt;/title&gt;", "<title>x</title>"},
        TitleCase{"<![CDATA[a &amp; b]]>", " a & b "}, TitleCase{"two\r\nlines", "two\r lines"}));

TEST_F(FeedStep, AMarkInsideATitleEndsItAndShiftsNothing) {
    const FeedResult result = extract(itemTitleFeed("News | Today"));
    EXPECT_EQ(result.fields, (Fields{"T", "L", "", "News ", "LA", "DA"}));
}

TEST_F(FeedStep, OtherTagSpellingsAreNoMarkers) {
    EXPECT_EQ(
        extract("<Title>a</Title><title type=\"t\">b</title><ns:link>c</ns:link>").workingText,
        "<Title>a</Title><title type=\"t\">b|<ns:link>c</ns:link>");
}

TEST_F(FeedStep, AFieldLeftOpenAtTheEndIsDropped) {
    const FeedResult result = extract("<title>T</title><link>L</link><description>D");
    EXPECT_EQ(result.fields, (Fields{"T", "L"}));
    EXPECT_TRUE(result.showBadFeedMessage);
}

TEST_F(FeedStep, WorkingTextIsTheDecodedDocument) {
    EXPECT_EQ(extract("<title>A &amp; B</title>\n<link>x&#44;y</link>").workingText,
              "|A & B| |x`y|");
}

TEST_F(FeedStep, RepIniCharacterBecomesASpaceAfterTheAmpersandSteps) {
    EXPECT_EQ(titleOf("two\r\nlines", "\r"), "two  lines");
    EXPECT_EQ(titleOf("a&amp;#x;b", "#"), "a& x;b");
    EXPECT_EQ(titleOf("caf\u00e9 au lait", "\u00e9"), "caf  au lait");
    // The character is gone before the numeric references are decoded.
    EXPECT_EQ(titleOf("a&#35;b", "#"), "a& 35;b");
}

TEST_F(FeedStep, WithoutRepIniThatStepIsSkipped) {
    EXPECT_EQ(titleOf("two\r\nlines", std::nullopt), "two\r lines");
    EXPECT_EQ(titleOf("two\r\nlines", ""), "two\r lines");
}

TEST_F(FeedStep, RepIniStartingWithTheMarkLeavesNoFields) {
    const FeedResult result = extract(test::readFeedFile("rss2-with-image.xml"), "|");
    EXPECT_TRUE(result.fields.empty());
    EXPECT_TRUE(result.showBadFeedMessage);
}

TEST_F(FeedStep, ChannelImageFieldsAreDroppedAndNothingElse) {
    const std::string channel = "<rss><channel><title>T</title><link>L</link>"
                                "<description>D</description>";
    const std::string items = "<item><title>A</title><link>LA</link><description>DA</description>"
                              "</item><item><title>B</title><link>LB</link>"
                              "<description>DB</description></item></channel></rss>";
    EXPECT_EQ(
        extract(channel + "<image><url>U</url><title>IT</title><link>IL</link></image>" + items)
            .fields,
        (Fields{"T", "L", "", "A", "LA", "DA", "B", "LB", "DB"}));
    EXPECT_EQ(extract(channel + items).fields,
              (Fields{"T", "L", "", "A", "LA", "DA", "B", "LB", "DB"}));
    // An image inside an item belongs to the item, whose own title comes first.
    EXPECT_EQ(extract(channel + "<item><title>A</title><image><title>IA</title></image>"
                                "</item></channel></rss>")
                  .fields,
              (Fields{"T", "L", "", "A", "", ""}));
}

TEST_F(FeedStep, EmptyChannelDescriptionIsNoError) {
    const FeedResult result =
        extract("<title>T</title><link>L</link><description></description>"
                "<item><title>A</title><link>LA</link><description>DA</description></item>");
    EXPECT_FALSE(result.showBadFeedMessage);
    EXPECT_EQ(result.fields, (Fields{"T", "L", "", "A", "LA", "DA"}));
}

TEST_F(FeedStep, ShortFeedsKeepTheFieldsTheyHave) {
    const FeedResult three = extract("<title>T</title><link>L</link><description>D</description>");
    EXPECT_EQ(three.fields, (Fields{"T", "L", ""}));
    EXPECT_FALSE(three.showBadFeedMessage);
    const FeedResult four = extract("|T||L||D||x|");
    EXPECT_EQ(four.fields, (Fields{"T", "L", "", "x"}));
    const FeedResult two = extract("<title>T</title><link>L</link>");
    EXPECT_EQ(two.fields, (Fields{"T", "L"}));
    EXPECT_TRUE(two.showBadFeedMessage);
}

TEST_F(FeedStep, UnrepresentableCharactersBecomeQuestionMarksInTheFields) {
    const auto windows1252 = platform::makeWindows1252CodePage();
    const FeedResult result = test::extractBody(itemTitleFeed("\u0416\u20ac\u00e9\U0001F600"),
                                                *windows1252, std::nullopt);
    ASSERT_GT(result.fields.size(), 3u);
    EXPECT_EQ(result.fields[3], "?\u20ac\u00e9?");
}

// What the bar gets from a feed: each triple's headline and link, the heading first.
using Stories = std::vector<std::pair<std::string, std::string>>;

struct StoryCase {
    const char* what;
    std::string feed;
    Stories stories;
};

const std::string kChannel = "<rss><channel><title>T</title><link>L</link><description>D"
                             "</description>";

TEST_F(FeedStep, EachItemGivesItsOwnHeadlineAndLink) {
    const StoryCase cases[] = {
        {"no title: the description's first words",
         kChannel + "<item><link>LA</link><description>&lt;p&gt;Storm &amp;amp; flood warning "
                    "for the coast tonight, with gales and high tides from the west&lt;/p&gt;"
                    "</description></item><item><link>LN</link></item>"
                    "<item><title>B</title><link>LB</link><description>DB</description></item>",
         {{"T", "L"},
          {"Storm & flood warning for the coast tonight, with gales and high tides from the\u2026",
           "LA"},
          {"B", "LB"}}},
        {"no link, no description",
         kChannel + "<item><title>A</title><description>DA</description></item><item><title>B"
                    "</title><link>LB</link></item><item><title>C</title><link>LC</link>"
                    "<description>DC</description></item>",
         {{"T", "L"}, {"A", ""}, {"B", "LB"}, {"C", "LC"}}},
        {"every order",
         "<rss><channel><description>D</description><link>L</link><title>T</title>"
         "<item><title>A</title><description>DA</description><link>LA</link></item>"
         "<item><link>LB</link><title>B</title><description>DB</description></item>"
         "<item><description>DC</description><link>LC</link><title>C</title></item>"
         "<item><link>LD</link><description>DD</description><title>D</title></item>"
         "<item><description>DE</description><title>E</title><link>LE</link></item>",
         {{"T", "L"}, {"A", "LA"}, {"B", "LB"}, {"C", "LC"}, {"D", "LD"}, {"E", "LE"}}},
        {"prefixed look-alikes are not the item's own",
         kChannel + "<item><dc:title>x</dc:title><itunes:title>y</itunes:title><title>A</title>"
                    "<media:title>z</media:title><itunes:summary>s</itunes:summary><link>LA"
                    "</link><content:encoded><![CDATA[<p>long</p>]]></content:encoded>"
                    "<dc:description>d</dc:description></item><item><dc:title>only</dc:title>"
                    "<link>LO</link><content:encoded>c</content:encoded></item>",
         {{"T", "L"}, {"A", "LA"}}},
        {"RDF: items outside the channel, the image's title and link no story",
         "<rdf:RDF><channel rdf:about=\"c\"><title>T</title><link>L</link><description>D"
         "</description><image rdf:resource=\"i\"/><items><rdf:Seq><rdf:li resource=\"a\"/>"
         "</rdf:Seq></items></channel><image rdf:about=\"i\"><title>IT</title><link>IL</link>"
         "</image><item rdf:about=\"a\"><title>A</title><link>LA</link><dc:date>2024</dc:date>"
         "</item><item rdf:about=\"b\"><title>B</title><link>LB</link><description>DB"
         "</description></item></rdf:RDF>",
         {{"T", "L"}, {"A", "LA"}, {"B", "LB"}}},
        {"not well-formed: bare &, a blank line first, HTML in CDATA",
         "\n\n<?xml version=\"1.0\"?><rss><channel><title>Q & A</title><link>L</link>"
         "<item><title>Fish & chips</title><description><![CDATA[<p>Hot & fresh<br></p>]]>"
         "</description><link>http://f.example/?a=1&b=2</link></item><item><title>B</title>"
         "<link>LB</link></item>",
         {{"Q & A", "L"}, {"Fish & chips", "http://f.example/?a=1&b=2"}, {"B", "LB"}}},
        {"references beyond the table",
         kChannel + "<item><title>Nokogiri&#8217;s Slop&#x2019; Feature&hellip; &amp;mdash; "
                    "&bogus; &#0;</title><link>LA</link></item>",
         {{"T", "L"}, {"Nokogiri\u2019s Slop\u2019 Feature\u2026 \u2014 &bogus; &#0;", "LA"}}},
        {"Atom",
         "\n<?xml version=\"1.0\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\" "
         "xml:base=\"http://base.example/news/\"><title type=\"html\">&lt;b&gt;Log&lt;/b&gt; "
         "&amp;amp; more</title><link rel=\"self\" href=\"/feed.atom\"/><link href=\"./\"/>"
         "<entry><title>Plain &amp; simple</title><link rel=\"replies\" href=\"c1\"/>"
         "<link rel=\"alternate\" href=\"one?x=1&amp;y=2\"/><summary>S</summary></entry>"
         "<entry xml:base=\"/other/\"><title type=\"xhtml\"><div><b>Two</b> &amp; "
         "more</div></title><link href=\"../two\"/><content type=\"html\">&lt;p&gt;C"
         "</content></entry><entry><source><title>Elsewhere</title></source><link "
         "rel=\"alternate\" href=\"http://abs.example/3\"/><content>Third story</content>"
         "</entry><entry><title><![CDATA[Bare & raw]]></title><link xml:base=\"deep/\" "
         "href=\"4\"/></entry><entry><id>nothing</id></entry></feed>",
         {{"Log & more", "http://base.example/news/"},
          {"Plain & simple", "http://base.example/news/one?x=1&y=2"},
          {"Two & more", "http://base.example/two"},
          {"Third story", "http://abs.example/3"},
          {"Bare & raw", "http://base.example/news/deep/4"}}},
        {"Atom without xml:base: relative to the feed's address",
         "<feed><title>F</title><link href=\"/\"/><entry><title>E</title><link href=\"e/1\"/>"
         "</entry><entry><title>G</title><link href=\"//cdn.example/g\"/></entry><entry>"
         "<title>H</title><link href=\"?page=2\"/></entry><entry><title>I</title><link "
         "href=\"../../i/./j/../k\"/></entry></feed>",
         {{"F", "http://feeds.example/"},
          {"E", "http://feeds.example/news/e/1"},
          {"G", "http://cdn.example/g"},
          {"H", "http://feeds.example/news/feed.xml?page=2"},
          {"I", "http://feeds.example/i/k"}}},
    };
    for (const StoryCase& c : cases) {
        const FeedResult result =
            test::extractBody(c.feed, *utf8_, std::nullopt, "application/rss+xml",
                              "http://feeds.example/news/feed.xml");
        Stories stories;
        for (std::size_t i = 0; i + 2 < result.fields.size(); i += 3) {
            stories.emplace_back(result.fields[i], result.fields[i + 1]);
        }
        EXPECT_EQ(stories, c.stories) << c.what;
        EXPECT_EQ(result.fields.size() % 3, 0u) << c.what;
    }
}

TEST(BadFeedMessage, IsTheProgramsWording) {
    EXPECT_EQ(kBadFeedMessage, "internet error or wrong rss/xml link has been provided by user.. "
                               "please check the internet connection and reinstall software");
}

} // namespace
} // namespace quill::feeds
