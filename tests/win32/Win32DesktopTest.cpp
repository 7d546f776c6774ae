#include "platform/win32/Win32Desktop.h"

#include "TestWindow.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using namespace platform;
using platform::win32::Win32Desktop;

class Win32DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!displayAvailable()) {
            GTEST_SKIP() << "no X display for Wine (DISPLAY is not set)";
        }
        window = std::make_unique<TestWindow>(Rect{40, 60, 340, 100});
    }

    Win32Desktop desktop;
    std::unique_ptr<TestWindow> window;
};

// A subclass as the app bar installs one: it adds 100 to whatever the previous procedure says.
Desktop* subclassDesktop = nullptr;
WndProc subclassPrevious = nullptr;
LResult subclass(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    const LResult previous =
        subclassDesktop->CallWindowProc(subclassPrevious, window, message, wParam, lParam);
    return message == TestWindow::kProbe ? previous + 100 : previous;
}

TEST_F(Win32DesktopTest, SubclassingReturnsThePreviousProcedureAndCallWindowProcReachesIt) {
    const Hwnd hwnd = window->hwnd();
    EXPECT_EQ(desktop.SendMessage(hwnd, TestWindow::kProbe, 5, 0), 6);

    const std::intptr_t original = desktop.GetWindowLong(hwnd, GWL_WNDPROC);
    ASSERT_NE(original, 0);
    subclassDesktop = &desktop;
    subclassPrevious = reinterpret_cast<WndProc>(original);
    EXPECT_EQ(desktop.SetWindowLong(hwnd, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(&subclass)),
              original);
    EXPECT_EQ(desktop.GetWindowLong(hwnd, GWL_WNDPROC), reinterpret_cast<std::intptr_t>(&subclass));

    window->forgetReceived();
    EXPECT_EQ(desktop.SendMessage(hwnd, TestWindow::kProbe, 5, 0), 106);
    EXPECT_TRUE(window->hasReceived(TestWindow::kProbe, 5))
        << "the previous procedure was not reached";

    EXPECT_EQ(desktop.SetWindowLong(hwnd, GWL_WNDPROC, original),
              reinterpret_cast<std::intptr_t>(&subclass));
    EXPECT_EQ(desktop.SendMessage(hwnd, TestWindow::kProbe, 5, 0), 6);
}

TEST_F(Win32DesktopTest, PositionsAndSizesRoundTripInScreenPixels) {
    const Hwnd hwnd = window->hwnd();
    ASSERT_TRUE(
        desktop.SetWindowPos(hwnd, HWND_TOP, 100, 50, 300, 40, SWP_NOZORDER | SWP_NOACTIVATE));
    Rect rect;
    ASSERT_TRUE(desktop.GetWindowRect(hwnd, rect));
    EXPECT_EQ(rect, (Rect{100, 50, 400, 90}));
    ASSERT_TRUE(desktop.GetClientRect(hwnd, rect));
    EXPECT_EQ(rect, (Rect{0, 0, 300, 40}));
    Point point{5, 6};
    ASSERT_TRUE(desktop.ClientToScreen(hwnd, point));
    EXPECT_EQ(point, (Point{105, 56}));

    desktop.SetWindowPos(hwnd, HWND_TOP, 0, 0, 120, 13, SWP_NOMOVE | SWP_NOZORDER);
    desktop.GetWindowRect(hwnd, rect);
    EXPECT_EQ(rect, (Rect{100, 50, 220, 63}));
    desktop.SetWindowPos(hwnd, HWND_TOP, 7, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    desktop.GetWindowRect(hwnd, rect);
    EXPECT_EQ(rect, (Rect{7, 8, 127, 21}));

    EXPECT_FALSE(desktop.GetWindowRect(0, rect));
}

TEST_F(Win32DesktopTest, TopmostAndNotTopmostAreWin32sInsertAfterValues) {
    const Hwnd hwnd = window->hwnd();
    const std::uint32_t keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ASSERT_FALSE(window->topmost());
    ASSERT_TRUE(desktop.SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, keep));
    EXPECT_TRUE(window->topmost());
    ASSERT_TRUE(desktop.SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, keep));
    EXPECT_FALSE(window->topmost());
    // Sent to the bottom, a topmost window leaves the topmost band.
    desktop.SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, keep);
    ASSERT_TRUE(desktop.SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, keep));
    EXPECT_FALSE(window->topmost());
}

TEST_F(Win32DesktopTest, StylesVisibilityAndTimersReachTheWindow) {
    const Hwnd hwnd = window->hwnd();
    const std::intptr_t style = desktop.GetWindowLong(hwnd, GWL_STYLE);
    EXPECT_EQ(desktop.SetWindowLong(hwnd, GWL_STYLE, style | WS_SYSMENU), style);
    EXPECT_EQ(desktop.GetWindowLong(hwnd, GWL_STYLE) & WS_SYSMENU, WS_SYSMENU);

    EXPECT_TRUE(desktop.IsWindowVisible(hwnd));
    EXPECT_TRUE(desktop.ShowWindow(hwnd, SW_HIDE)) << "it was visible";
    EXPECT_FALSE(desktop.IsWindowVisible(hwnd));
    EXPECT_FALSE(desktop.ShowWindow(hwnd, SW_SHOW)) << "it was hidden";
    EXPECT_TRUE(desktop.IsWindowVisible(hwnd));
    EXPECT_TRUE(desktop.UpdateWindow(hwnd));

    constexpr std::uintptr_t id = 100;
    ASSERT_TRUE(desktop.SetTimer(hwnd, id, 10));
    EXPECT_TRUE(pumpMessagesUntil([&] { return window->hasReceived(WM_TIMER, id); }));
    EXPECT_TRUE(desktop.KillTimer(hwnd, id));
    EXPECT_FALSE(desktop.KillTimer(hwnd, id)) << "a timer ends once";
}

TEST_F(Win32DesktopTest, TheSystemMenuLosesAnItemOnce) {
    const Hwnd hwnd = window->hwnd();
    desktop.SetWindowLong(hwnd, GWL_STYLE,
                          desktop.GetWindowLong(hwnd, GWL_STYLE) | WS_CAPTION | WS_SYSMENU);
    const Hmenu menu = desktop.GetSystemMenu(hwnd, false);
    ASSERT_NE(menu, 0u);
    EXPECT_TRUE(desktop.DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
    EXPECT_FALSE(desktop.DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND));
    EXPECT_TRUE(desktop.DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND));
}

TEST_F(Win32DesktopTest, TheScreenAndItsWorkAreaAgree) {
    const int width = desktop.GetSystemMetrics(SM_CXSCREEN);
    const int height = desktop.GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    Rect area;
    ASSERT_TRUE(desktop.GetWorkArea(area));
    EXPECT_GE(area.left, 0);
    EXPECT_GE(area.top, 0);
    EXPECT_LE(area.right, width);
    EXPECT_LE(area.bottom, height);
    EXPECT_GT(area.width(), 0);
    EXPECT_GT(area.height(), 0);

    Point cursor{-1, -1};
    ASSERT_TRUE(desktop.GetCursorPos(cursor));
    EXPECT_TRUE(cursor.x >= 0 && cursor.x < width && cursor.y >= 0 && cursor.y < height);
}

TEST_F(Win32DesktopTest, MessageBoxesShowUtf8TextAndGiveTheButtonPressed) {
    const std::string text = "Z\u00fcrich \u2013 \u010capek", caption = "Quillmark \u00e9t\u00e9";
    MessageBoxAnswerer answerer;
    EXPECT_EQ(desktop.MessageBox(window->hwnd(), text, caption, MB_OK | MB_ICONINFORMATION), 1);
    ASSERT_TRUE(answerer.seen().has_value());
    EXPECT_EQ(answerer.seen()->caption, caption);
    const auto& texts = answerer.seen()->texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end());
}

TEST_F(Win32DesktopTest, PointerKeyboardAndActivationAreWhatThePersonDid) {
    const Hwnd hwnd = window->hwnd();
    moveCursorTo({123, 45});
    Point cursor;
    ASSERT_TRUE(desktop.GetCursorPos(cursor));
    EXPECT_EQ(cursor, (Point{123, 45}));
    // A posted message carries where the pointer was when it was taken from the queue.
    desktop.SetTimer(hwnd, 1, 10);
    ASSERT_TRUE(pumpMessagesUntil([&] { return window->hasReceived(WM_TIMER, 1); }));
    desktop.KillTimer(hwnd, 1);
    EXPECT_EQ(desktop.GetMessagePos(), (45u << 16) | 123u);

    activate(hwnd);
    EXPECT_EQ(desktop.GetActiveWindow(), hwnd);
    const auto controlDown = [&] { return desktop.GetKeyState(VK_CONTROL) < 0; };
    pressKey(VK_CONTROL, true);
    EXPECT_TRUE(pumpMessagesUntil(controlDown));
    pressKey(VK_CONTROL, false);
    EXPECT_TRUE(pumpMessagesUntil([&] { return !controlDown(); }));
}

} // namespace
} // namespace quill::testing
