#include "platform/win32/Win32Registry.h"

#include "appbar/TAppBar.h"
#include "support/FakeDesktop.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace quill::testing {
namespace {

using platform::win32::Win32Registry;
using Bytes = std::vector<std::uint8_t>;

// <windows.h> hides the program's own name for this root behind its macro; the program's
// value must be the predefined handle's low 32 bits.
const auto kCurrentUser =
    static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER));

// A key of its own under the private prefix's HKEY_CURRENT_USER, removed after each test.
class Win32RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillmark tests"); }

    const std::string key = "Software\\Quillmark tests\\AppBar \u00e9\\VB";
    Win32Registry registry;
    FakeDesktop desktop;
};

TEST_F(Win32RegistryTest, TheSettingsBlockRoundTripsThroughTheRegistry) {
    appbar::TAppBar saved(desktop, registry);
    EXPECT_EQ(saved.RegistryRoot(), kCurrentUser);
    saved.setRegistryKey(key);
    saved.setDockedHeight(27);
    saved.setFloatLeft(-300);
    saved.setAutoHide(true);
    ASSERT_TRUE(saved.SaveSettings());
    EXPECT_EQ(registry.readDefaultValue(kCurrentUser, key)->size(), 90u);

    appbar::TAppBar loaded(desktop, registry);
    loaded.setRegistryKey(key);
    ASSERT_TRUE(loaded.LoadSettings());
    EXPECT_EQ(loaded.DockedHeight(), 27);
    EXPECT_EQ(loaded.FloatLeft(), -300);
    EXPECT_TRUE(loaded.AutoHide());
}

TEST_F(Win32RegistryTest, AValueOfAnotherLengthIsReadAsItIsAndRefusedByTheBar) {
    appbar::TAppBar bar(desktop, registry);
    bar.setRegistryKey(key);
    bar.setDockedHeight(13);
    for (const std::size_t size : {0u, 89u, 91u}) {
        const Bytes bytes(size, 0x11);
        ASSERT_TRUE(registry.writeDefaultValue(kCurrentUser, key, bytes));
        EXPECT_EQ(registry.readDefaultValue(kCurrentUser, key), bytes);
        EXPECT_FALSE(bar.LoadSettings()) << size;
        EXPECT_EQ(bar.DockedHeight(), 13);
    }
}

TEST_F(Win32RegistryTest, AMissingKeyOrANonBinaryValueIsNoValue) {
    EXPECT_EQ(registry.readDefaultValue(kCurrentUser, key), std::nullopt);
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quillmark tests\\Text", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    const wchar_t text[] = L"not binary";
    RegSetValueExW(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(opened);
    EXPECT_EQ(registry.readDefaultValue(kCurrentUser, "Software\\Quillmark tests\\Text"),
              std::nullopt);
    // The same key under another root is another value.
    ASSERT_TRUE(registry.writeDefaultValue(kCurrentUser, key, Bytes{1, 2, 3}));
    EXPECT_EQ(registry.readDefaultValue(0x80000002u, key), std::nullopt);
}

} // namespace
} // namespace quill::testing
