#include "FeedFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace quill::feeds {
namespace {

using Fields = std::vector<std::string>;

struct DocumentCase {
    const char* file;
    Fields fields;
    bool badFeed;
};

void PrintTo(const DocumentCase& c, std::ostream* os) {
    *os << c.file;
}

class FeedDocumentTest : public testing::TestWithParam<DocumentCase> {};

TEST_P(FeedDocumentTest, GivesTheTickerItsTriples) {
    const auto utf8 = platform::makeUtf8CodePage();
    const FeedResult result = test::extractBody(test::readFeedFile(GetParam().file), *utf8);
    EXPECT_EQ(result.fields, GetParam().fields);
    EXPECT_EQ(result.showBadFeedMessage, GetParam().badFeed);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, FeedDocumentTest,
    testing::Values(
        // The image's title and link are no headlines; its URL was never a field.
        DocumentCase{"rss2-with-image.xml",
                     {"Harbour Gazette", "https://gazette.example/", "",
                      "Ferry timetable changes \u2013 from Monday", "https://gazette.example/ferry",
                      " <p>The 7 o'clock ferry moves to 7:15.</p> ",
                      "Caf\u00e9 reopens, \"better than ever\"",
                      "https://gazette.example/cafe?id=4&ref=rss",
                      "Owners say: it's bigger <b>and</b> brighter"},
                     false},
        // Without an image the first item stays and the triples line up.
        DocumentCase{"rss2-no-image.xml",
                     {"Valley Post", "https://post.example/", "", "Bridge closed",
                      "https://post.example/bridge", "Repairs take two weeks.", "Market day",
                      "https://post.example/market", "Stalls open at 8."},
                     false},
        // An image with a description gives three fields, all dropped.
        DocumentCase{"rss091.xml",
                     {"Old Mill Weekly", "http://mill.example/", "", "Wheel turns again",
                      "http://mill.example/wheel", "After forty years."},
                     false},
        // The channel's empty image reference is not the image; the element after it is.
        DocumentCase{"rss1-rdf.xml",
                     {"Bird Notes", "http://bird.example/", "", "Heron at the weir",
                      "http://bird.example/heron", "Seen at dawn."},
                     false},
        DocumentCase{
            "item-without-description.xml", {"T", "L", "", "A", "LA", "", "B", "LB", "DB"}, false},
        DocumentCase{"atom.xml",
                     {"Lighthouse Log", "http://light.example/", "", "Lamp replaced",
                      "http://light.example/lamp", "New bulb fitted."},
                     false},
        DocumentCase{"html-error.html", {"404 Not Found"}, true},
        DocumentCase{"windows-1252.xml",
                     {"Caf\u00e9 Corner", "http://cafe.example/", "",
                      "\u201cBest\u201d coffee \u20ac 2", "http://cafe.example/1",
                      "Cr\u00e8me br\u00fbl\u00e9e \u2014 now"},
                     false},
        DocumentCase{"utf8-bom.xml",
                     {"Se\u00f1or Noticias", "http://sn.example/", "", "\u20ac rises",
                      "http://sn.example/1", "\u03a9 ok"},
                     false},
        DocumentCase{"utf16le-bom.xml",
                     {"Z\u00fcrich Zeitung", "http://zz.example/", "",
                      "Schnee \U0001F600 im M\u00e4rz", "http://zz.example/1", "Kalt"},
                     false}));

TEST(FeedDocument, EmptyBodyContributesNothingAndIsReported) {
    const auto utf8 = platform::makeUtf8CodePage();
    const FeedResult result = test::extractBody("", *utf8);
    EXPECT_TRUE(result.fields.empty());
    EXPECT_TRUE(result.workingText.empty());
    EXPECT_TRUE(result.showBadFeedMessage);
}

TEST(FeedDocument, CharactersTheSystemCodePageLacksBecomeQuestionMarks) {
    const auto windows1252 = platform::makeWindows1252CodePage();
    const FeedResult result = test::extractBody(test::readFeedFile("utf8-bom.xml"), *windows1252);
    ASSERT_EQ(result.fields.size(), 6u);
    EXPECT_EQ(result.fields[3], "\u20ac rises");
    EXPECT_EQ(result.fields[5], "? ok");
    // The working text keeps what the feed said; only the cut fields went through the code page.
    EXPECT_NE(result.workingText.find("\u03a9 ok"), std::string::npos);
}

TEST(FeedDocument, LeavesNoScratchFileBehind) {
    const auto directory = std::filesystem::temp_directory_path() / "quill-feed-scratch-test";
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    const auto utf8 = platform::makeUtf8CodePage();
    test::extractBody(test::readFeedFile("rss2-no-image.xml"), *utf8);
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::is_empty(directory));
    std::filesystem::remove_all(directory);
}

} // namespace
} // namespace quill::feeds
