#include "feeds/LinksFile.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using feeds::LinksFile;
using Lines = std::vector<std::string>;

TEST(LinksFileLines, EndAtCrCrLfOrLfAndTheLastEndIsOptional) {
    EXPECT_EQ(feeds::splitLines("20\r\nTrue\r\nhttp://a\r\n"), (Lines{"20", "True", "http://a"}));
    EXPECT_EQ(feeds::splitLines("20\rTrue\rhttp://a"), (Lines{"20", "True", "http://a"}));
    EXPECT_EQ(feeds::splitLines("20\nTrue\n"), (Lines{"20", "True"}));
    EXPECT_EQ(feeds::splitLines("a\r\n\r\nb"), (Lines{"a", "", "b"})); // an empty address stays
    EXPECT_EQ(feeds::splitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(feeds::splitLines(""), Lines{});
}

struct LinksFileTest : ::testing::Test {
    TempFolder folder;
    std::unique_ptr<platform::CodePage> utf8 = platform::makeUtf8CodePage();
    std::filesystem::path file() const { return folder.path() / "links.ryx"; }
};

TEST_F(LinksFileTest, ALineWithCommasAndQuotesIsWrittenAndReadBackUnchanged) {
    const Lines lines{"5", "True", "http://x.test/a?b=1,2&c=\"q\"", " spaced , 'quoted' "};
    ASSERT_FALSE(feeds::writeLinesFile(file(), lines, *utf8));
    EXPECT_EQ(folder.read("links.ryx"),
              "5\r\nTrue\r\nhttp://x.test/a?b=1,2&c=\"q\"\r\n spaced , 'quoted' \r\n");
    const LinksFile read = feeds::readLinksFile(file(), *utf8);
    EXPECT_EQ(read.problem, LinksFile::Problem::None);
    EXPECT_EQ(read.lines, lines);
}

TEST_F(LinksFileTest, TextPassesThroughTheCodePage) {
    const auto cp1252 = platform::makeWindows1252CodePage();
    folder.write("links.ryx", "20\r\nFalse\r\nhttp://caf\xE9.test/\r\n");
    EXPECT_EQ(feeds::readLinksFile(file(), *cp1252).lines[2], "http://caf\u00e9.test/");
    ASSERT_FALSE(feeds::writeLinesFile(file(), {"20", "True", "http://\u0101.test/"}, *cp1252));
    EXPECT_EQ(folder.read("links.ryx"), "20\r\nTrue\r\nhttp://?.test/\r\n");
}

TEST_F(LinksFileTest, ALeadingByteOrderMarkIsSkippedAndTheFileReadAsUtf8) {
    folder.write("links.ryx", "\xEF\xBB\xBF"
                              "5\r\nTrue\r\nhttp://caf\xC3\xA9.test/\r\n");
    const Lines lines{"5", "True", "http://caf\u00e9.test/"};
    EXPECT_EQ(feeds::readLinksFile(file(), *utf8).lines, lines);
    EXPECT_EQ(feeds::readLinksFile(file(), *platform::makeWindows1252CodePage()).lines, lines);
}

TEST_F(LinksFileTest, MissingShortOrUnreadableFilesGiveTheDefaultSettings) {
    LinksFile missing = feeds::readLinksFile(file(), *utf8);
    EXPECT_EQ(missing.problem, LinksFile::Problem::Missing);
    EXPECT_EQ(missing.lines, (Lines{"20", "False"}));

    folder.write("links.ryx", "5\r\n");
    LinksFile shortFile = feeds::readLinksFile(file(), *utf8);
    EXPECT_EQ(shortFile.problem, LinksFile::Problem::Short);
    EXPECT_EQ(shortFile.lines, (Lines{"5", "False"}));

    std::filesystem::remove(file());
    std::filesystem::create_directory(file());
    LinksFile unreadable = feeds::readLinksFile(file(), *utf8);
    EXPECT_EQ(unreadable.problem, LinksFile::Problem::Unreadable);
    EXPECT_EQ(unreadable.lines, (Lines{"20", "False"}));
    EXPECT_NE(feeds::describeLinksProblem(unreadable, file()).find("could not be read"),
              std::string::npos);
}

TEST_F(LinksFileTest, TheShortFileMessageNamesOnlyTheSettingsFilledIn) {
    folder.write("links.ryx", "5\r\n");
    const std::string edgeOnly =
        feeds::describeLinksProblem(feeds::readLinksFile(file(), *utf8), file());
    EXPECT_NE(edgeOnly.find("bottom of the screen"), std::string::npos) << edgeOnly;
    EXPECT_EQ(edgeOnly.find("minutes"), std::string::npos) << edgeOnly;

    folder.write("links.ryx", "");
    const std::string both =
        feeds::describeLinksProblem(feeds::readLinksFile(file(), *utf8), file());
    EXPECT_NE(both.find("every 20 minutes"), std::string::npos) << both;
    EXPECT_NE(both.find("bottom of the screen"), std::string::npos) << both;
}

TEST_F(LinksFileTest, SavingThroughASymbolicLinkUpdatesItsTargetAndKeepsTheLink) {
    std::filesystem::create_directories(folder.path() / "dotfiles");
    folder.write("dotfiles/links.ryx", "20\r\nTrue\r\n");
    std::error_code noLinks;
    std::filesystem::create_symlink("dotfiles/links.ryx", file(), noLinks);
    if (noLinks) {
        GTEST_SKIP() << "this system makes no symbolic links: " << noLinks.message();
    }
    ASSERT_FALSE(feeds::writeLinesFile(file(), {"5", "False"}, *utf8));
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_EQ(folder.read("dotfiles/links.ryx"), "5\r\nFalse\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "links.ryx.new"));

    // A link whose target is gone gets the target written.
    std::filesystem::remove(folder.path() / "dotfiles/links.ryx");
    ASSERT_FALSE(feeds::writeLinesFile(file(), {"9", "True"}, *utf8));
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_EQ(folder.read("dotfiles/links.ryx"), "9\r\nTrue\r\n");
}

TEST_F(LinksFileTest, AFailedWriteReportsItAndLeavesTheOldFileWhole) {
    folder.write("links.ryx", "20\r\nTrue\r\nhttp://kept.test/\r\n");
    // The temporary file cannot be created: a folder stands in its way.
    std::filesystem::create_directory(folder.path() / "links.ryx.new");
    EXPECT_TRUE(feeds::writeLinesFile(file(), {"5", "False"}, *utf8));
    EXPECT_EQ(folder.read("links.ryx"), "20\r\nTrue\r\nhttp://kept.test/\r\n");

    // The rename cannot replace the target.
    std::filesystem::remove(folder.path() / "links.ryx.new");
    const auto inFolder = folder.path() / "sub";
    std::filesystem::create_directories(inFolder / "links.ryx" / "occupied");
    EXPECT_TRUE(feeds::writeLinesFile(inFolder / "links.ryx", {"5", "False"}, *utf8));
    EXPECT_FALSE(std::filesystem::exists(inFolder / "links.ryx.new"));
}

// Names each step as it reaches the file system, and fails the one named `failing`.
struct WatchedSteps : feeds::FileSteps {
    using Path = std::filesystem::path;
    std::error_code write(const Path& file, std::string_view bytes) const override {
        return step("write " + file.filename().string(),
                    [&] { return FileSteps::write(file, bytes); });
    }
    std::error_code flush(const Path& file) const override {
        return step("flush " + file.filename().string(), [&] { return FileSteps::flush(file); });
    }
    std::error_code rename(const Path& from, const Path& to) const override {
        return step("rename " + from.filename().string() + " " + to.filename().string(),
                    [&] { return FileSteps::rename(from, to); });
    }
    template <typename Real> std::error_code step(std::string name, Real real) const {
        done.push_back(name);
        return name == failing ? std::make_error_code(std::errc::io_error) : real();
    }
    std::string failing;
    mutable Lines done;
};

TEST_F(LinksFileTest, TheNewFileIsOnTheDiskBeforeItsNameReplacesTheOld) {
    const std::string folderName = folder.path().filename().string();
    WatchedSteps steps;
    ASSERT_FALSE(feeds::writeLinesFile(file(), {"5", "False"}, *utf8, steps));
    EXPECT_EQ(steps.done, (Lines{"write links.ryx.new", "flush links.ryx.new",
                                 "rename links.ryx.new links.ryx", "flush " + folderName}));
    EXPECT_EQ(folder.read("links.ryx"), "5\r\nFalse\r\n");

    steps.done.clear();
    steps.failing = "flush links.ryx.new";
    EXPECT_EQ(feeds::writeLinesFile(file(), {"9", "True"}, *utf8, steps), std::errc::io_error);
    EXPECT_EQ(steps.done, (Lines{"write links.ryx.new", "flush links.ryx.new"}));
    EXPECT_EQ(folder.read("links.ryx"), "5\r\nFalse\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "links.ryx.new"));
}

} // namespace
} // namespace quill::testing
