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
        // "&amp;" goes before the numeric references, so escaped references decode twice.
        TitleCase{"&amp;#39;", "'"}, TitleCase{"&amp;lt;", "&lt;"}, TitleCase{"&#38;#38;", "&#38;"},
        TitleCase{"&#169; 2024", "\u00a9 2024"},
        TitleCase{"&quot;Q&quot; &#151; &#039;", "\"Q\" - '"},
        TitleCase{"&#33;&#35;&#36;&#37;&#38;&#39;&#40;&#41;&#42;&#43;&#45;&#46;&#47;&#58;&#59;"
                  "&#60;&#61;&#62;&#63;",
                  "!#$%&'()*+-./:;<=>?"},
        TitleCase{"&#033;&#035;&#036;&#037;&#038;&#039;&#040;&#041;&#042;&#043;&#045;&#046;"
                  "&#047;&#058;&#059;&#060;&#061;&#062;&#063;",
                  "!#$%&'()*+-./:;<=>?"},
        // Nothing outside the table is decoded.
        TitleCase{"&apos;&nbsp;&#x41;&#34;&#124;&#233;", "&apos;&nbsp;&#x41;&#34;&#124;&#233;"},
        // Escaped markup is text, never a field boundary; other tag spellings are no markers.
        TitleCase{"&lt;title&gt;x&lt;/title&gt;", "<title>x</title>"},
        TitleCase{"<![CDATA[a &amp; b]]>", " a & b "}, TitleCase{"two\r\nlines", "two\r lines"}));

TEST_F(FeedStep, AMarkInsideATitleShiftsEveryLaterField) {
    const FeedResult result = extract(itemTitleFeed("News | Today"));
    EXPECT_EQ(result.fields, (Fields{"T", "L", "", "News ", "", ""}));
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
    // An image inside an item belongs to the item.
    EXPECT_EQ(extract(channel + "<item><title>A</title><image><title>IA</title></image>"
                                "</item></channel></rss>")
                  .fields,
              (Fields{"T", "L", "", "A", "IA"}));
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

TEST(BadFeedMessage, IsTheProgramsWording) {
    EXPECT_EQ(kBadFeedMessage, "internet error or wrong rss/xml link has been provided by user.. "
                               "please check the internet connection and reinstall software");
}

} // namespace
} // namespace quill::feeds
