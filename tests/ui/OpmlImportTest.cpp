#include "support/ProgramFixture.h"
#include "ui/Form3.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

constexpr const char* kNested = R"(<?xml version="1.0" encoding="UTF-8"?>
<opml version="2.0"><head><title>Mine</title></head><body>
  <outline text="World"><outline type="rss" xmlUrl="http://world.test/rss"/>
    <outline text="Europe"><outline xmlUrl="https://europe.test/feed?a=1&amp;b=2"/></outline>
  </outline><outline xmlUrl="http://listed.test/rss"/><outline xmlUrl="ftp://files.test/rss"/>
</body></opml>)";
constexpr const char* kAfterImport =
    "15\r\nTrue\r\nhttp://listed.test/rss\r\n"
    "http://world.test/rss\r\nhttps://europe.test/feed?a=1&b=2\r\n";

struct OpmlImportTest : ProgramFixture, ::testing::Test {
    void SetUp() override {
        writeLinks({"15", "True", "http://listed.test/rss"});
        start();
    }
    // The menu entry `caption`, with `name` (in the test's folder) picked in the file chooser.
    void menu(const std::string& caption, const std::string& name) {
        world.backend.onChooseFile = [this, name](const forms::FileChoice&) {
            return folder.path() / name;
        };
        world.backend.onPopupMenu = [caption](const HeadlessBackend::Menu&) { return caption; };
        form1->rightClickAt({10, 10});
    }
    void importFile(const std::string& name, const std::string& bytes) {
        folder.write(name, bytes);
        menu("Import feeds (OPML)…", name);
    }
    std::string links() const { return folder.read("links.ryx"); }
    std::string lastMessage() const { return world.backend.boxes.at(0).text; }
};

TEST_F(OpmlImportTest, AppendsEachNewWebFeedOnceAndKeepsTheSettingsLines) {
    form1->Label13_Click(); // an open options window must not write its older list back
    importFile("mine.opml", kNested);
    EXPECT_EQ(links(), kAfterImport);
    EXPECT_NE(lastMessage().find("2 feeds imported"), std::string::npos) << lastMessage();
    importFile("mine.opml", kNested);
    form1->form3().Command2.press();
    EXPECT_EQ(links(), kAfterImport);
}

TEST_F(OpmlImportTest, AMalformedOrForeignFileSaysSoAndLeavesLinksByteForByte) {
    const std::string before = links();
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"cut.opml", std::string(kNested).substr(0, 200)},
             {"feed.xml", "<rss version=\"2.0\"><channel><title>t</title></channel></rss>"},
             {"links.txt", "http://a.test/rss\nhttp://b.test/rss\n"}}) {
        world.backend.boxes.clear();
        importFile(name, bytes);
        EXPECT_EQ(links(), before) << name;
        ASSERT_EQ(world.backend.boxes.size(), 1u) << name;
        EXPECT_NE(
            lastMessage().find("No feeds were imported from " + (folder.path() / name).string()),
            std::string::npos)
            << lastMessage();
    }
}

TEST_F(OpmlImportTest, ExportedFeedsImportIntoAnotherListAsTheyWere) {
    const std::string loaded = serveFeed("Daily", {"First"});
    writeLinks({"15", "True", "http://a.test/rss", "", "https://b.test/?x=<1>&y=\"2\"", loaded});
    world.backend.advance(2000); // the first load: only the served feed gets a title
    menu("Export feeds (OPML)…", "out.opml");
    const std::string opml = folder.read("out.opml");
    for (const std::string outline :
         {"<title>Quillmark feeds</title>", R"(text="Daily" xmlUrl="http://feeds.test/Daily")",
          R"(text="http://a.test/rss" xmlUrl="http://a.test/rss")"}) {
        EXPECT_NE(opml.find(outline), std::string::npos) << opml;
    }
    writeLinks({"7", "False"});
    menu("Import feeds (OPML)…", "out.opml");
    EXPECT_EQ(links(), "7\r\nFalse\r\nhttp://a.test/rss\r\nhttps://b.test/?x=<1>&y=\"2\"\r\n" +
                           loaded + "\r\n");
}

} // namespace
} // namespace quill::testing
