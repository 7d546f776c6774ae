#include "Win32World.h"

#include <optional>
#include <string>
#include <vector>

namespace quill::testing {
namespace {

// What the open menu shows, read from its window while it waits for the user.
struct SeenMenu {
    RECT rect{};
    std::vector<std::wstring> captions;
    std::vector<UINT> states;
};

std::vector<UINT> keysToPress;
std::optional<SeenMenu> seen;

// Runs inside the menu's own loop: look at the menu, then type at it.
void CALLBACK actOnMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) {
        return; // not up yet
    }
    KillTimer(nullptr, timer);
    SeenMenu menu;
    GetWindowRect(window, &menu.rect);
    const auto handle = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(handle); ++i) {
        wchar_t caption[64]{};
        GetMenuStringW(handle, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        menu.captions.emplace_back(caption);
        menu.states.push_back(GetMenuState(handle, static_cast<UINT>(i), MF_BYPOSITION));
    }
    seen = menu;
    for (const UINT key : keysToPress) {
        PostMessageW(window, WM_KEYDOWN, key, 0);
    }
}

class PopupMenuTest : public Win32World {
protected:
    // A right click on the form, answered by the keys; returns the menu's answer.
    std::optional<std::optional<std::size_t>> rightClickAndType(std::vector<UINT> keys) {
        keysToPress = std::move(keys);
        seen.reset();
        std::optional<std::optional<std::size_t>> answer;
        form.onRightClick = [&](platform::Point at) {
            clickedAt = at;
            SetTimer(nullptr, 0, 50, &actOnMenu);
            answer = backend.popupMenu(form.hwnd(), at, items);
        };
        PostMessageW(toHwnd(form.hwnd()), WM_RBUTTONUP, 0, MAKELPARAM(30, 20));
        EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
        return answer;
    }

    forms::Form form{app, "bar", "bar", 6000, 1500};
    std::vector<forms::MenuItem> items{
        {"First", true, false}, {"", true, false}, {"Checked", true, true}, {"Grey", false, false}};
    platform::Point clickedAt;
};

TEST_F(PopupMenuTest, ARightClickPopsUpTheMenuAtThePointerAndTheChosenItemComesBack) {
    show(form);
    // Down to the first item, past the separator to the second, then choose it.
    const auto answer = rightClickAndType({VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, std::optional<std::size_t>(2));

    ASSERT_TRUE(seen.has_value()) << "no menu window appeared";
    POINT client{30, 20};
    ClientToScreen(toHwnd(form.hwnd()), &client);
    EXPECT_EQ(clickedAt, (platform::Point{client.x, client.y}));
    EXPECT_EQ(seen->rect.left, client.x);
    EXPECT_EQ(seen->rect.top, client.y);
    EXPECT_EQ(seen->captions, (std::vector<std::wstring>{L"First", L"", L"Checked", L"Grey"}));
    EXPECT_TRUE(seen->states[1] & MF_SEPARATOR);
    EXPECT_TRUE(seen->states[2] & MF_CHECKED);
    EXPECT_FALSE(seen->states[0] & (MF_CHECKED | MF_GRAYED));
    EXPECT_TRUE(seen->states[3] & MF_GRAYED);
}

TEST_F(PopupMenuTest, EscapeClosesTheMenuWithoutAChoice) {
    show(form);
    const auto answer = rightClickAndType({VK_ESCAPE});
    ASSERT_TRUE(answer.has_value());
    EXPECT_FALSE(answer->has_value());
    EXPECT_TRUE(seen.has_value());
}

} // namespace
} // namespace quill::testing
