#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <string>

namespace quill::platform {
namespace {

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST(IconvCodePage, ReadsEachSequenceItRejectsAsOneQuestionMark) {
    const auto cp = codePageByName("shift_jis");
    ASSERT_TRUE(cp);
    // A lead byte before a byte that cannot follow it, and one cut off at the end.
    EXPECT_EQ(cp->toUtf8("a\x81 b\x93\xfa"
                         "c\x93"),
              "a? b\u65e5c?");
}

TEST(IconvCodePage, ReadsGb18030BeyondGbk) {
    const auto cp = codePageByName("gb18030");
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->toUtf8("\xd6\xd0\x94\x39\xfc\x36"), "\u4e2d\U0001F600");
}

TEST(IconvCodePage, ConvertsTextLongerThanOnePass) {
    const auto cp = codePageByName("shift_jis");
    ASSERT_TRUE(cp);
    const std::string bytes = repeated("\x93\xfa", 5000);
    const std::string text = repeated("\u65e5", 5000);
    EXPECT_EQ(cp->toUtf8(bytes), text);
    EXPECT_EQ(cp->fromUtf8(text), bytes);
}

TEST(IconvCodePage, WritesWhatItCannotHoldAsQuestionMarks) {
    const auto cp = codePageByName("koi8-r");
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->fromUtf8("\u041f\u0438 \u20ac\u00e9 a\xC3"), "\xf0\xc9 ?? a?");
}

TEST(IconvCodePage, EndsAStatefulCharsetInItsInitialState) {
    const auto cp = codePageByName("iso-2022-jp");
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->fromUtf8("\u65e5\u672c"), "\x1b$BF|K\\\x1b(B");
    EXPECT_EQ(cp->toUtf8("\x1b$BF|K\\\x1b(Bx"), "\u65e5\u672cx");
}

TEST(IconvCodePage, RefusesNamesThatAreNotAnAsciiCompatibleCharset) {
    for (const char* name : {"", "utf-16le", "utf-32", "utf-7", "ibm037", "koi8-r//TRANSLIT",
                             "koi8-r//IGNORE", "no-such-charset"}) {
        EXPECT_FALSE(codePageByName(name)) << name;
    }
}

} // namespace
} // namespace quill::platform
