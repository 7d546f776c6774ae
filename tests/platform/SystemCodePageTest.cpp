#include "platform/CodePage.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace quill::platform {
namespace {

class SystemCodePage : public testing::Test {
protected:
    void SetUp() override { saved_ = std::setlocale(LC_CTYPE, nullptr); }
    void TearDown() override { std::setlocale(LC_CTYPE, saved_.c_str()); }

    std::string saved_;
};

TEST_F(SystemCodePage, CLocaleCountsAsUtf8) {
    ASSERT_TRUE(std::setlocale(LC_CTYPE, "C"));
    EXPECT_EQ(makeSystemCodePage()->name(), "UTF-8");
}

TEST_F(SystemCodePage, FollowsTheLocalesCodeset) {
    // Debian ships no Windows-1252 locale; build one into a private directory.
    const auto dir = std::filesystem::temp_directory_path() / "quill-locale-test";
    std::filesystem::create_directories(dir);
    const std::string command =
        "localedef -i en_US -f CP1252 " + (dir / "en_US.CP1252").string() + " >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1 || !std::filesystem::exists(dir / "en_US.CP1252")) {
        std::filesystem::remove_all(dir);
        GTEST_SKIP() << "localedef could not build a CP1252 locale";
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    const bool set = std::setlocale(LC_CTYPE, "en_US.CP1252") != nullptr;
    const std::string name = set ? makeSystemCodePage()->name() : "";
    std::setlocale(LC_CTYPE, saved_.c_str());
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(set);
    EXPECT_EQ(name, "windows-1252");
}

} // namespace
} // namespace quill::platform
