#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <string>

namespace quill::platform {
namespace {

TEST(Windows1252, MapsEveryByteAsWindowsDoes) {
    const auto cp = makeWindows1252CodePage();
    std::string upper;
    for (int b = 0x80; b < 0xA0; ++b) {
        upper.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(cp->toUtf8(upper), "\u20ac?\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160"
                                 "\u2039\u0152?\u017d??\u2018\u2019\u201c\u201d\u2022\u2013\u2014"
                                 "\u02dc\u2122\u0161\u203a\u0153?\u017e\u0178");
    EXPECT_EQ(cp->toUtf8("A\xA0\xE9\xFF"), "A\u00a0\u00e9\u00ff");
}

TEST(Windows1252, RoundTripsEveryDefinedByte) {
    const auto cp = makeWindows1252CodePage();
    for (int b = 0; b < 0x100; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(cp->fromUtf8(cp->toUtf8(byte)), undefined ? "?" : byte) << "byte " << b;
    }
}

struct Unrepresentable {
    const char* codePage;
    std::string utf8;
    std::string bytes;
};

void PrintTo(const Unrepresentable& c, std::ostream* os) {
    *os << c.codePage << ' ' << testing::PrintToString(c.utf8);
}

class CodePageFromUtf8 : public testing::TestWithParam<Unrepresentable> {};

TEST_P(CodePageFromUtf8, ReplacesWhatItCannotHoldWithAQuestionMark) {
    const auto cp = codePageByName(GetParam().codePage);
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->fromUtf8(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, CodePageFromUtf8,
    testing::Values(Unrepresentable{"windows-1252", "\u20ac\u0416\u00e9\U0001F600", "\x80?\xE9?"},
                    Unrepresentable{"iso-8859-1", "\u20ac\u00e9\u0081", "?\xE9\x81"},
                    Unrepresentable{"us-ascii", "a\u00e9b", "a?b"},
                    Unrepresentable{"utf-8", "\u00e9\U0001F600", "\u00e9\U0001F600"},
                    // Ill-formed input is no crash: each bad sequence is one "?".
                    Unrepresentable{"windows-1252", "a\xC3", "a?"},
                    Unrepresentable{"utf-8", "a\xC3", "a?"}));

TEST(Latin1AndAscii, ReadBytesTheyDoNotDefineAsQuestionMarks) {
    EXPECT_EQ(codePageByName("ISO-8859-1")->toUtf8("\x80\xE9"), "\u0080\u00e9");
    EXPECT_EQ(codePageByName("US-ASCII")->toUtf8("a\x80z"), "a?z");
}

struct IllFormed {
    std::string bytes;
    std::string text;
};

void PrintTo(const IllFormed& c, std::ostream* os) {
    *os << testing::PrintToString(c.bytes);
}

class Utf8IllFormed : public testing::TestWithParam<IllFormed> {};

TEST_P(Utf8IllFormed, BecomesQuestionMarksBothWays) {
    const auto cp = makeUtf8CodePage();
    EXPECT_EQ(cp->toUtf8(GetParam().bytes), GetParam().text);
    EXPECT_EQ(cp->fromUtf8(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8IllFormed,
                         testing::Values(IllFormed{"\x80x", "?x"},         // stray continuation
                                         IllFormed{"\xC0\xAF", "??"},      // overlong "/"
                                         IllFormed{"\xE0\x80\xAF", "???"}, // overlong, 3 bytes
                                         IllFormed{"\xED\xA0\x80", "???"}, // surrogate
                                         IllFormed{"\xF4\x90\x80\x80", "????"}, // past U+10FFFF
                                         IllFormed{"\xF0\x9F\x98", "?"},        // cut short
                                         IllFormed{"\xE2\x82\xAC\xFF", "\u20ac?"}));

struct Alias {
    const char* alias;
    const char* name;
};

void PrintTo(const Alias& c, std::ostream* os) {
    *os << c.alias;
}

class CodePageByName : public testing::TestWithParam<Alias> {};

TEST_P(CodePageByName, KnowsTheUsualAliases) {
    const auto cp = codePageByName(GetParam().alias);
    ASSERT_TRUE(cp) << GetParam().alias;
    EXPECT_EQ(cp->name(), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Aliases, CodePageByName,
    testing::Values(Alias{"UTF-8", "UTF-8"}, Alias{"utf8", "UTF-8"},
                    Alias{"Windows-1252", "windows-1252"}, Alias{"CP1252", "windows-1252"},
                    Alias{"x-cp1252", "windows-1252"}, Alias{"ISO-8859-1", "ISO-8859-1"},
                    Alias{"iso_8859-1", "ISO-8859-1"}, Alias{"Latin1", "ISO-8859-1"},
                    Alias{"US-ASCII", "US-ASCII"}, Alias{"ANSI_X3.4-1968", "US-ASCII"},
                    Alias{"ascii", "US-ASCII"}));

TEST(CodePageByName, UnknownNamesGiveNothing) {
    EXPECT_FALSE(codePageByName("x-klingon"));
    EXPECT_FALSE(codePageByName(""));
    EXPECT_FALSE(codePageByName("utf-16"));
}

} // namespace
} // namespace quill::platform
