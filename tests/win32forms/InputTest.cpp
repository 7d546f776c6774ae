#include "Win32World.h"
#include "forms/CommandButton.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"
#include "forms/win32/FormWindow.h"

#include <stdexcept>

namespace quill::testing {
namespace {

class InputTest : public Win32World {
protected:
    float tx() { return app.twipsPerPixelX(); }
    float ty() { return app.twipsPerPixelY(); }
    HWND native(const forms::Control& control) {
        return dynamic_cast<forms::win32::FormWindow&>(form.peer()).nativeWindow(control);
    }

    forms::Form form{app, "options", "Options", 400 * tx(), 300 * ty()};
};

TEST_F(InputTest, ClicksAndMovesReachTheLabelUnderThePointer) {
    forms::PictureBox holder(form, "holder", 100 * tx(), 0, 200 * tx(), 40 * ty());
    forms::Label first(holder, "first", 0, 0, 50 * tx(), 20 * ty(), "one", false);
    forms::Label second(holder, "second", 60 * tx(), 0, 50 * tx(), 20 * ty(), "two", false);
    int firstClicks = 0, secondClicks = 0, secondMoves = 0, formMoves = 0;
    first.onClick = [&] { ++firstClicks; };
    second.onClick = [&] { ++secondClicks; };
    second.onMouseMove = [&] { ++secondMoves; };
    form.onMouseMove = [&] { ++formMoves; };
    show(form);
    const HWND hwnd = toHwnd(form.hwnd());

    postClick(hwnd, 100 + 60 + 5, 10);
    ASSERT_TRUE(waitUntil([&] { return secondClicks == 1; }));
    EXPECT_EQ(firstClicks, 0);

    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100 + 60 + 5, 10));
    ASSERT_TRUE(waitUntil([&] { return secondMoves == 1; }));
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 200));
    ASSERT_TRUE(waitUntil([&] { return formMoves == 1; }));
    EXPECT_EQ(secondMoves, 1);

    // A release without its press (the press began elsewhere) is no click.
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(105, 10));
    postClick(hwnd, 100 + 60 + 5, 10);
    ASSERT_TRUE(waitUntil([&] { return secondClicks == 2; }));
    EXPECT_EQ(firstClicks, 0);
}

TEST_F(InputTest, AHandlerThatThrowsEndsWithTheHandler) {
    forms::Label label(form, "label", 0, 0, 50 * tx(), 20 * ty(), "boom", false);
    label.onClick = [] { throw std::runtime_error("handler failed"); };
    int after = 0;
    forms::Label other(form, "other", 100 * tx(), 0, 50 * tx(), 20 * ty(), "fine", false);
    other.onClick = [&] { ++after; };
    show(form);

    postClick(toHwnd(form.hwnd()), 10, 10);
    postClick(toHwnd(form.hwnd()), 110, 10);
    EXPECT_TRUE(waitUntil([&] { return after == 1; }));
}

TEST_F(InputTest, AListBoxFollowsTheModelAndTheUsersChoiceGoesBack) {
    forms::ListBox list(form, "list", 10 * tx(), 10 * ty(), 150 * tx(), 120 * ty());
    list.addItem("plain");
    show(form);
    const HWND hwnd = native(list);
    ASSERT_NE(hwnd, nullptr);

    list.addItem("Z\u00fcrich \u2013 \u010capek");
    list.addItem("third");
    list.setListIndex(1);
    ASSERT_EQ(SendMessageW(hwnd, LB_GETCOUNT, 0, 0), 3);
    wchar_t row[64]{};
    SendMessageW(hwnd, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(std::wstring(row), L"Z\u00fcrich \u2013 \u010capek");
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), 1);

    list.removeItem(0);
    ASSERT_EQ(SendMessageW(hwnd, LB_GETCOUNT, 0, 0), 2);
    SendMessageW(hwnd, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(std::wstring(row), L"third");

    RECT item{};
    SendMessageW(hwnd, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    postClick(hwnd, item.left + 5, (item.top + item.bottom) / 2);
    ASSERT_TRUE(waitUntil([&] { return list.listIndex() == 1; }));

    list.clear();
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(InputTest, ATextBoxFollowsTheModelAndTypingGoesBack) {
    forms::TextBox box(form, "box", 10 * tx(), 150 * ty(), 200 * tx(), 24 * ty(), "Z\u00fcrich");
    show(form);
    const HWND hwnd = native(box);
    ASSERT_NE(hwnd, nullptr);
    wchar_t text[64]{};
    GetWindowTextW(hwnd, text, 64);
    EXPECT_EQ(std::wstring(text), L"Z\u00fcrich");

    box.setText("\u010capek");
    GetWindowTextW(hwnd, text, 64);
    EXPECT_EQ(std::wstring(text), L"\u010capek");
    EXPECT_EQ(box.text(), "\u010capek") << "the control's echo must not change the model";

    SendMessageW(hwnd, EM_SETSEL, 5, 5);
    SendMessageW(hwnd, WM_CHAR, L'\u00fc', 0);
    EXPECT_EQ(box.text(), "\u010capek\u00fc");
}

TEST_F(InputTest, OptionsInAFrameAreOneGroupAndButtonsRunTheirHandlers) {
    forms::Frame top(form, "top", 10 * tx(), 10 * ty(), 180 * tx(), 80 * ty(), "Edge");
    forms::OptionButton above(top, "above", 10 * tx(), 20 * ty(), 150 * tx(), 20 * ty(), "Top",
                              true);
    forms::OptionButton below(top, "below", 10 * tx(), 45 * ty(), 150 * tx(), 20 * ty(), "Bottom",
                              false);
    forms::Frame speed(form, "speed", 200 * tx(), 10 * ty(), 180 * tx(), 80 * ty(), "Speed");
    forms::OptionButton fast(speed, "fast", 10 * tx(), 20 * ty(), 150 * tx(), 20 * ty(), "Fast",
                             true);
    forms::OptionButton slow(speed, "slow", 10 * tx(), 45 * ty(), 150 * tx(), 20 * ty(), "Slow",
                             false);
    forms::CommandButton ok(form, "ok", 10 * tx(), 250 * ty(), 80 * tx(), 25 * ty(), "OK");
    int presses = 0;
    ok.onClick = [&] { ++presses; };
    show(form);
    ASSERT_NE(native(below), nullptr);
    EXPECT_EQ(SendMessageW(native(above), BM_GETCHECK, 0, 0), BST_CHECKED);

    SendMessageW(native(below), BM_CLICK, 0, 0);
    EXPECT_TRUE(below.value());
    EXPECT_FALSE(above.value());
    EXPECT_EQ(SendMessageW(native(above), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // The other frame's choice stands, in the model and on screen.
    EXPECT_TRUE(fast.value());
    EXPECT_EQ(SendMessageW(native(fast), BM_GETCHECK, 0, 0), BST_CHECKED);

    slow.setValue(true);
    EXPECT_EQ(SendMessageW(native(slow), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(native(fast), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessageW(native(ok), BM_CLICK, 0, 0);
    EXPECT_EQ(presses, 1);
    wchar_t caption[16]{};
    GetWindowTextW(native(ok), caption, 16);
    EXPECT_EQ(std::wstring(caption), L"OK");

    // Hiding a frame hides what it holds, and showing it again brings it back.
    top.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(native(top)));
    EXPECT_FALSE(IsWindowVisible(native(below)));
    EXPECT_TRUE(IsWindowVisible(native(fast)));
    top.setVisible(true);
    EXPECT_TRUE(IsWindowVisible(native(below)));
}

TEST_F(InputTest, TabMovesBetweenTheNativeControlsInCreationOrder) {
    forms::ListBox list(form, "list", 10 * tx(), 10 * ty(), 150 * tx(), 100 * ty());
    forms::Label label(form, "label", 10 * tx(), 120 * ty(), 100 * tx(), 20 * ty(), "x", false);
    forms::TextBox box(form, "box", 10 * tx(), 150 * ty(), 150 * tx(), 24 * ty());
    forms::CommandButton ok(form, "ok", 10 * tx(), 250 * ty(), 80 * tx(), 25 * ty(), "OK");
    show(form);
    SetForegroundWindow(toHwnd(form.hwnd()));
    SetFocus(native(list));
    ASSERT_EQ(GetFocus(), native(list));

    for (const forms::Control* next :
         {static_cast<forms::Control*>(&box), static_cast<forms::Control*>(&ok)}) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        PostMessageW(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
        EXPECT_TRUE(waitUntil([&] { return GetFocus() == native(*next); })) << next->name();
    }
}

TEST_F(InputTest, ClosingTheWindowHidesItAndKeepsItsHandle) {
    show(form);
    const HWND hwnd = toHwnd(form.hwnd());
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(hwnd); }));
    EXPECT_TRUE(IsWindow(hwnd));
}

} // namespace
} // namespace quill::testing
