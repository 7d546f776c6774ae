#include "Win32World.h"

#include <commctrl.h>

namespace quill::testing {
namespace {

using TipTest = Win32World;

std::wstring tipText(HWND tip, HWND owner) {
    wchar_t text[256]{};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(TipTest, ATrackingToolTipShowsBesideItsOwnerUntilHiddenAndComesBackForTheNext) {
    forms::Form form{app, "Bar", "Bar", 6000, 300};
    show(form);
    const HWND owner = toHwnd(form.hwnd());
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);

    const HWND tip = toHwnd(backend.showTip(form.hwnd(), {ownerRect.left + 40, ownerRect.top + 5},
                                            "Markets \xE2\x80\x94 today"));
    ASSERT_NE(tip, nullptr);
    wchar_t kind[64]{};
    GetClassNameW(tip, kind, static_cast<int>(std::size(kind)));
    EXPECT_STREQ(kind, L"tooltips_class32");
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(tip) != FALSE; }));
    EXPECT_EQ(tipText(tip, owner), L"Markets \u2014 today");
    RECT tipRect{}, overlap{};
    GetWindowRect(tip, &tipRect);
    EXPECT_FALSE(IntersectRect(&overlap, &tipRect, &ownerRect))
        << tipRect.left << "," << tipRect.top << "," << tipRect.right << "," << tipRect.bottom
        << " owner " << ownerRect.left << "," << ownerRect.top << "," << ownerRect.right << ","
        << ownerRect.bottom;
    EXPECT_NE(GetForegroundWindow(), tip);

    ShowWindow(tip, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(
        toHwnd(backend.showTip(form.hwnd(), {ownerRect.left + 80, ownerRect.top + 5}, "Second")),
        tip);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(tip) != FALSE; }));
    EXPECT_EQ(tipText(tip, owner), L"Second");

    ShowWindow(owner, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(tip)) << "the tip outlived its hidden owner";
}

} // namespace
} // namespace quill::testing
