#include "ui/TipText.h"

#include "feeds/ReferenceDecoding.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace quill::ui {
namespace {

// A description as it stands in the feed's XML, through the feed's own decoding first.
std::string tipFromFeed(std::string description) {
    feeds::decodeReferences(description, std::nullopt);
    return tipText(description);
}

std::size_t characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        platform::utf8::decodeNext(text, pos);
    }
    return count;
}

struct Case {
    const char* what;
    const char* description;
    const char* tip;
};

TEST(TipTextTest, FeedDescriptionsBecomePlainText) {
    const Case cases[] = {
        {"escaped html",
         "&lt;p&gt;Rates &lt;b&gt;rise&lt;/b&gt; again.&lt;/p&gt;&lt;p&gt;More"
         "&lt;br/&gt;soon&lt;/p&gt;",
         "Rates rise again. More soon"},
        {"references the table leaves", "It&amp;#8217;s 5&amp;#x2014;4&#8230; caf&eacute;",
         "It\u2019s 5\u20144\u2026 caf\u00e9"},
        {"named entities", "a&amp;nbsp;b &amp;mdash; c&amp;hellip; &amp;euro;5 &amp;AElig;",
         "a b \u2014 c\u2026 \u20ac5 \u00c6"},
        {"cdata", "<![CDATA[<p>Inside <i>cdata</i></p>]]>", "Inside cdata"},
        {"escaped cdata", "&lt;![CDATA[Kept text]]&gt;", "Kept text"},
        {"text that looks like markup", "a &lt; b and 3<4, AT&amp;T &amp;unknown; &#;",
         "a < b and 3<4, AT&T &unknown; &#;"},
        {"escaped markup stays text", "Use &amp;lt;b&amp;gt; for bold", "Use <b> for bold"},
        {"invalid references stay", "&amp;#0; &amp;#xD800; &amp;#99999999;",
         "&#0; &#xD800; &#99999999;"},
        {"scripts and comments",
         "A<script>var x = '<b>';</script>B<!-- note -->C<style>p{}"
         "</style>",
         "ABC"},
        {"tag cut off by the field's end", "Story <a href=\"http://x", "Story"},
        {"white space", " \n\t line\r\n  two\t&amp;nbsp; ", "line two"},
        {"empty", "", ""},
        {"markup only", "&lt;img src=\"a.png\"/&gt;&lt;br&gt;", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tipFromFeed(c.description), c.tip) << c.what;
    }
}

TEST(TipTextTest, CdataMarkersLeftInTheTextAreNotTags) {
    EXPECT_EQ(tipText("<![CDATA[x > y]]> and <![CDATA[<b>z</b>]]>"), "x > y and z");
}

TEST(TipTextTest, LongTextEndsWithAnEllipsisAtAWord) {
    std::string words;
    while (characters(words) < 2 * kTipCharacters) {
        words += "\u00e9t\u00e9 longer, ";
    }
    const std::string tip = tipText(words);
    ASSERT_TRUE(tip.ends_with("\u2026"));
    const std::string kept = tip.substr(0, tip.size() - std::string_view("\u2026").size());
    EXPECT_LE(characters(tip), kTipCharacters + 1);
    EXPECT_GE(characters(tip), kTipCharacters - 20);
    EXPECT_TRUE(words.starts_with(kept));
    EXPECT_TRUE(kept.ends_with("longer")) << kept; // no comma, no half word
}

TEST(TipTextTest, OneEndlessWordIsCutAtTheLimit) {
    const std::string word = "short " + std::string(3 * kTipCharacters, 'x');
    const std::string tip = tipText(word);
    EXPECT_EQ(tip, word.substr(0, kTipCharacters) + "\u2026");
}

TEST(TipTextTest, TextAtTheLimitKeepsItsEnd) {
    const std::string exact(kTipCharacters, 'y');
    EXPECT_EQ(tipText(exact), exact);
}

} // namespace
} // namespace quill::ui
