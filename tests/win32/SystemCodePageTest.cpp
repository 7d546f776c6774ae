#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace quill::platform {
namespace {

// Wine gives an English locale the Windows-1252 code page; Windows' own tables must then
// agree with the table built into the program.
class SystemCodePage1252 : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 1252u) << "run with an English locale (LANG=en_US.UTF-8)";
    }

    std::unique_ptr<CodePage> system = makeSystemCodePage();
    std::unique_ptr<CodePage> builtIn = makeWindows1252CodePage();
};

TEST_F(SystemCodePage1252, ReadsEveryDefinedByteAsTheBuiltInTableDoes) {
    EXPECT_EQ(system->name(), "windows-1252");
    for (int b = 0; b < 0x100; ++b) {
        const std::string byte(1, static_cast<char>(b));
        if (builtIn->toUtf8(byte) != "?" || b == '?') {
            EXPECT_EQ(system->toUtf8(byte), builtIn->toUtf8(byte)) << "byte " << b;
            EXPECT_EQ(system->fromUtf8(system->toUtf8(byte)), byte) << "byte " << b;
        }
    }
}

TEST_F(SystemCodePage1252, WritesAQuestionMarkForWhatItCannotHold) {
    EXPECT_EQ(system->fromUtf8("\u20ac\u0416\u00e9\U0001F600"), "\x80?\xE9?");
    // No best fit: a look-alike letter would change the text's meaning.
    EXPECT_EQ(system->fromUtf8("\u0100\u2260"), "??");
    EXPECT_EQ(system->fromUtf8("a\xC3"), "a?");
    EXPECT_EQ(system->fromUtf8(""), "");
    EXPECT_EQ(system->toUtf8(""), "");
}

} // namespace
} // namespace quill::platform
