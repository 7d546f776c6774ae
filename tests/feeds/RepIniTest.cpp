#include "feeds/RepIni.h"

#include <fstream>
#include <gtest/gtest.h>

namespace quill::feeds {
namespace {

class RepIni : public testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                (std::string("quill-rep-ini-") +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void write(std::string_view bytes) { std::ofstream(path_, std::ios::binary) << bytes; }

    std::filesystem::path path_;
    std::unique_ptr<platform::CodePage> utf8_ = platform::makeUtf8CodePage();
    std::unique_ptr<platform::CodePage> windows1252_ = platform::makeWindows1252CodePage();
};

TEST_F(RepIni, MissingOrEmptyGivesNothing) {
    EXPECT_EQ(readRepIniFirstChar(path_, *utf8_), std::nullopt);
    write("");
    EXPECT_EQ(readRepIniFirstChar(path_, *utf8_), std::nullopt);
    EXPECT_EQ(readRepIniFirstChar(path_.parent_path(), *utf8_), std::nullopt);
}

TEST_F(RepIni, GivesTheFirstCharacterThroughTheCodePage) {
    write("#\r\nrest");
    EXPECT_EQ(readRepIniFirstChar(path_, *utf8_), "#");
    write("\r\n");
    EXPECT_EQ(readRepIniFirstChar(path_, *utf8_), "\r");
    write("\xE2\x82\xAC!");
    EXPECT_EQ(readRepIniFirstChar(path_, *utf8_), "\u20ac");
    EXPECT_EQ(readRepIniFirstChar(path_, *windows1252_), "\u00e2");
    write("\x80");
    EXPECT_EQ(readRepIniFirstChar(path_, *windows1252_), "\u20ac");
    // A leading byte-order mark is no character of the file's.
    write("\xEF\xBB\xBF#");
    EXPECT_EQ(readRepIniFirstChar(path_, *windows1252_), "#");
    write("\xEF\xBB\xBF");
    EXPECT_EQ(readRepIniFirstChar(path_, *utf8_), std::nullopt);
}

} // namespace
} // namespace quill::feeds
