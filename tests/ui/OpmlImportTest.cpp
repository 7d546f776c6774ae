#include "support/ProgramFixture.h"
#include "ui/Form3.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

constexpr const char* kNested = R"(<?xml version="1.0" encoding="UTF-8"?>
<opml version="2.0"><head><title>Mine</title></head><body>
  <outline text="World"><outline type="rss" xmlUrl="http://world.test/rss"/>
    <outline text="Europe"><outline type="rss" xmlUrl="https://europe.test/feed?a=1&amp;b=2"/>
    </outline></outline>
  <outline type="rss" xmlUrl="http://listed.test/rss"/>
  <outline type="rss" xmlUrl="ftp://files.test/rss"/>
</body></opml>)";

struct OpmlImportTest : ProgramFixture, ::testing::Test {
    void SetUp() override {
        writeLinks({"15", "True", "http://listed.test/rss"});
        start();
    }
    // Picks `file` in the next file chooser and the menu entry `caption`.
    void menu(const std::string& caption, const std::filesystem::path& file) {
        world.backend.onChooseFile = [file](const forms::FileChoice&) { return file; };
        world.backend.onPopupMenu = [caption](const HeadlessBackend::Menu&) { return caption; };
        form1->rightClickAt({10, 10});
    }
    void importFile(const std::string& name, const std::string& bytes) {
        folder.write(name, bytes);
        menu("Import feeds (OPML)…", folder.path() / name);
    }
    std::string links() const { return folder.read("links.ryx"); }
    // The text of the one message box shown since the start.
    std::string message() const {
        EXPECT_EQ(world.backend.boxes.size(), 1u);
        return world.backend.boxes.empty() ? "" : world.backend.boxes.back().text;
    }
};

TEST_F(OpmlImportTest, AppendsTheNewWebFeedsOfNestedOutlinesKeepingTheSettingsLines) {
    importFile("mine.opml", kNested);
    EXPECT_EQ(links(), "15\r\nTrue\r\nhttp://listed.test/rss\r\nhttp://world.test/rss\r\n"
                       "https://europe.test/feed?a=1&b=2\r\n");
    EXPECT_NE(message().find("2 feeds imported"), std::string::npos) << message();
    EXPECT_EQ(world.backend.fileChoices.at(0).purpose, forms::FileChoice::Purpose::Open);
    // The next reload fetches them.
    form1->reload();
    EXPECT_EQ(http.requested.back(), "https://europe.test/feed?a=1&b=2");
}

TEST_F(OpmlImportTest, ImportingTheSameFileAgainAddsNothing) {
    importFile("mine.opml", kNested);
    const std::string once = links();
    world.backend.boxes.clear();
    importFile("mine.opml", kNested);
    EXPECT_EQ(links(), once);
    EXPECT_NE(message().find("no feed that is not listed"), std::string::npos) << message();
}

TEST_F(OpmlImportTest, MalformedOrForeignFilesLeaveLinksByteForByte) {
    const std::string before = links();
    const std::vector<std::pair<std::string, std::string>> files{
        {"cut.opml", std::string(kNested).substr(0, 200)},
        {"feed.xml", "<rss version=\"2.0\"><channel><title>t</title></channel></rss>"},
        {"links.txt", "http://a.test/rss\nhttp://b.test/rss\n"},
    };
    for (const auto& [name, bytes] : files) {
        world.backend.boxes.clear();
        importFile(name, bytes);
        EXPECT_EQ(links(), before) << name;
        EXPECT_NE(message().find("No feeds were imported from"), std::string::npos) << name;
        EXPECT_NE(message().find(name), std::string::npos) << name;
    }
    EXPECT_NE(message().find("not a well-formed XML file"), std::string::npos);
    world.backend.boxes.clear();
    menu("Import feeds (OPML)…", folder.path() / "missing.opml");
    EXPECT_NE(message().find("could not be read"), std::string::npos);
    EXPECT_EQ(links(), before);
}

TEST_F(OpmlImportTest, AnOpenOptionsWindowGetsTheImportedFeedsToo) {
    form1->Label13_Click();
    importFile("mine.opml", kNested);
    form1->form3().Command2.press(); // "Apply all" writes its list back
    EXPECT_EQ(links(), "15\r\nTrue\r\nhttp://listed.test/rss\r\nhttp://world.test/rss\r\n"
                       "https://europe.test/feed?a=1&b=2\r\n");
}

TEST_F(OpmlImportTest, AFailedWriteSaysSoAndChangesNothing) {
    // A folder where the temporary file would go: the writer cannot make it.
    std::filesystem::create_directory(folder.path() / "links.ryx.new");
    const std::string before = links();
    importFile("mine.opml", kNested);
    EXPECT_NE(message().find("could not be written"), std::string::npos) << message();
    EXPECT_EQ(links(), before);
}

TEST_F(OpmlImportTest, ExportedFeedsImportIntoAnotherListAsTheyWere) {
    writeLinks({"15", "True", "http://a.test/rss", "", "https://b.test/?x=<1>&y=\"2\""});
    menu("Export feeds (OPML)…", folder.path() / "out.opml");
    EXPECT_EQ(world.backend.fileChoices.at(0).purpose, forms::FileChoice::Purpose::Save);
    EXPECT_TRUE(world.backend.boxes.empty());
    const std::string exported = folder.read("out.opml");
    EXPECT_NE(exported.find("<title>Quillmark feeds</title>"), std::string::npos);

    writeLinks({"7", "False"});
    menu("Import feeds (OPML)…", folder.path() / "out.opml");
    EXPECT_EQ(links(), "7\r\nFalse\r\nhttp://a.test/rss\r\nhttps://b.test/?x=<1>&y=\"2\"\r\n");
}

TEST_F(OpmlImportTest, ACancelledChooserDoesNothing) {
    const std::string before = links();
    world.backend.onChooseFile = [](const forms::FileChoice&) { return std::nullopt; };
    world.backend.onPopupMenu = [](const HeadlessBackend::Menu&) {
        return std::string("Import feeds (OPML)…");
    };
    form1->rightClickAt({10, 10});
    EXPECT_EQ(links(), before);
    EXPECT_TRUE(world.backend.boxes.empty());
}

} // namespace
} // namespace quill::testing
