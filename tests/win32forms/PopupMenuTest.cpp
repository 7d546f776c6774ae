#include "Win32World.h"

#include <optional>
#include <string>
#include <vector>

namespace quill::testing {
namespace {

std::vector<UINT> keysToPress;
RECT menuRect{};
std::vector<UINT> menuStates;

// Runs inside the menu's own loop: read the open menu's window, then type at it.
void CALLBACK actOnMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) {
        return; // not up yet
    }
    KillTimer(nullptr, timer);
    GetWindowRect(window, &menuRect);
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        menuStates.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
    }
    for (const UINT key : keysToPress) {
        PostMessageW(window, WM_KEYDOWN, key, 0);
    }
}

struct PopupMenuTest : Win32World {
    // A right click on the form, the open menu answered by these keys; what the menu returned.
    std::optional<std::optional<std::size_t>> rightClickAndType(std::vector<UINT> keys) {
        keysToPress = std::move(keys);
        menuStates.clear();
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

TEST_F(PopupMenuTest, ARightClickPopsUpTheMenuAtThePointerAndTheChoiceComesBack) {
    show(form);
    // Down to the first item, past the separator to the second, then choose it.
    EXPECT_EQ(rightClickAndType({VK_DOWN, VK_DOWN, VK_RETURN}), std::optional<std::size_t>(2));
    POINT client{30, 20};
    ClientToScreen(toHwnd(form.hwnd()), &client);
    EXPECT_EQ(clickedAt, (platform::Point{client.x, client.y}));
    EXPECT_EQ(menuRect.left, client.x);
    EXPECT_EQ(menuRect.top, client.y);
    ASSERT_EQ(menuStates.size(), 4u) << "no menu window appeared";
    EXPECT_FALSE(menuStates[0] & (MF_CHECKED | MF_GRAYED));
    EXPECT_TRUE(menuStates[1] & MF_SEPARATOR);
    EXPECT_TRUE(menuStates[2] & MF_CHECKED);
    EXPECT_TRUE(menuStates[3] & MF_GRAYED);

    const auto escaped = rightClickAndType({VK_ESCAPE});
    ASSERT_TRUE(escaped.has_value());
    EXPECT_FALSE(escaped->has_value());
    EXPECT_EQ(menuStates.size(), 4u);
}

} // namespace
} // namespace quill::testing
