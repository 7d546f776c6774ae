#include "TestWindow.h"
#include "appbar/TAppBar.h"
#include "forms/Application.h"
#include "forms/Backend.h"
#include "forms/Form.h"
#include "platform/win32/Win32Desktop.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

// Wine's shell (its explorer) keeps one list of bars for the whole session. A bar trims the
// bars registered after it, whatever their edge, and it outlives its window, so every bar a
// test registers is removed at the end, and these tests take turns (RESOURCE_LOCK).

namespace quill::testing {
namespace {

using namespace platform;
using platform::win32::Win32Desktop;

constexpr std::uint32_t kCallback = WM_USER + 50;

// A window's bar as another program would keep it; removed from the shell at the end.
class ShellBar {
public:
    ShellBar(Desktop& desktop, Hwnd window) : desktop_(desktop), window_(window) {}
    ~ShellBar() { remove(); }
    ShellBar(const ShellBar&) = delete;
    ShellBar& operator=(const ShellBar&) = delete;

    bool add() { return message(ABM_NEW) != 0; }
    // The strip `height` pixels high at the top of what the shell leaves, reserved, with the
    // window moved there; the rectangle the shell granted.
    Rect dockOnTop(int height) {
        Rect strip{0, 0, desktop_.GetSystemMetrics(SM_CXSCREEN),
                   desktop_.GetSystemMetrics(SM_CYSCREEN)};
        message(ABM_QUERYPOS, &strip);
        strip.bottom = strip.top + height;
        message(ABM_SETPOS, &strip);
        desktop_.SetWindowPos(window_, HWND_TOP, strip.left, strip.top, strip.width(),
                              strip.height(), SWP_NOZORDER | SWP_NOACTIVATE);
        return strip;
    }
    void remove() { message(ABM_REMOVE); }

private:
    std::uintptr_t message(std::uint32_t number, Rect* rect = nullptr) {
        AppBarData data; // cbSize 36, as the app bar fills it
        data.hWnd = window_;
        data.uCallbackMessage = kCallback;
        data.uEdge = ABE_TOP;
        if (rect != nullptr) {
            data.rc = *rect;
        }
        const std::uintptr_t result = desktop_.SHAppBarMessage(number, data);
        if (rect != nullptr) {
            *rect = data.rc;
        }
        return result;
    }

    Desktop& desktop_;
    Hwnd window_;
};

// Forms whose one window is a plain test window: the app bar needs a form, nothing more.
class PlainWindowBackend : public forms::Backend {
public:
    explicit PlainWindowBackend(Hwnd window) : window_(window) {}

    std::unique_ptr<forms::FormPeer> createFormPeer(forms::Form&) override {
        return std::make_unique<Peer>(window_);
    }
    forms::TextSize measureText(const forms::Font&, std::string_view) override { return {}; }
    float twipsPerPixelX() override { return 15; }
    float twipsPerPixelY() override { return 15; }
    double now() override { return 0; }
    void wakeAt(double) override {}
    void pumpEvents() override {
        pumpMessagesUntil([] { return true; });
    }
    void waitForEvents(int) override { pumpEvents(); }
    int messageBox(Hwnd, const std::string&, const std::string&, std::uint32_t) override {
        return 1;
    }
    Hwnd showTip(Hwnd, Point, const std::string&) override { return 0; }
    std::optional<std::size_t> popupMenu(Hwnd, Point,
                                         const std::vector<forms::MenuItem>&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> chooseFile(Hwnd, const forms::FileChoice&) override {
        return std::nullopt;
    }

private:
    class Peer : public forms::FormPeer {
    public:
        explicit Peer(Hwnd window) : window_(window) {}
        Hwnd hwnd() const override { return window_; }
        void controlChanged(const forms::Control*) override {}
        void repaintNow(const forms::Control&) override {}

    private:
        Hwnd window_;
    };

    Hwnd window_;
};

class WineShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!displayAvailable()) {
            GTEST_SKIP() << "no X display for Wine (DISPLAY is not set)";
        }
        screenWidth = desktop.GetSystemMetrics(SM_CXSCREEN);
    }

    Rect windowRect(Hwnd window) {
        Rect rect;
        desktop.GetWindowRect(window, rect);
        return rect;
    }

    Win32Desktop desktop;
    int screenWidth = 0;
};

TEST_F(WineShellTest, TwoTopBarsStackAndTheSecondMovesUpWhenTheFirstGoes) {
    TestWindow firstWindow({0, 200, 100, 220}), secondWindow({0, 300, 100, 320});
    ShellBar first(desktop, firstWindow.hwnd()), second(desktop, secondWindow.hwnd());
    ASSERT_TRUE(first.add());
    ASSERT_TRUE(second.add());
    EXPECT_FALSE(second.add()) << "a window is one bar";

    const Rect top = first.dockOnTop(20);
    EXPECT_EQ(top, (Rect{0, 0, screenWidth, 20}));
    const Rect below = second.dockOnTop(20);
    EXPECT_EQ(below, (Rect{0, 20, screenWidth, 40}));
    EXPECT_EQ(windowRect(secondWindow.hwnd()), below);

    secondWindow.forgetReceived();
    first.remove();
    ASSERT_TRUE(pumpMessagesUntil([&] {
        return secondWindow.hasReceived(kCallback, ABN_POSCHANGED);
    })) << "no ABN_POSCHANGED through the callback message";
    EXPECT_EQ(second.dockOnTop(20), top) << "the second bar moves up into the freed strip";
}

TEST_F(WineShellTest, TheAppBarDocksAPlainWindowAndFollowsTheShell) {
    TestWindow otherWindow({0, 200, 100, 220}), barWindow({200, 300, 600, 400});
    ShellBar other(desktop, otherWindow.hwnd());
    ShellBar barGuard(desktop, barWindow.hwnd());
    ASSERT_TRUE(other.add());
    const Rect otherStrip = other.dockOnTop(20);
    const std::intptr_t ownProcedure = desktop.GetWindowLong(barWindow.hwnd(), GWL_WNDPROC);

    PlainWindowBackend backend(barWindow.hwnd());
    forms::Application app(backend, desktop);
    forms::Form form(app, "Form1", "Form1", 6000, 1500);
    FakeRegistry registry;
    appbar::TAppBar bar(desktop, registry);
    bar.Extends(form);
    bar.setDockedHeight(13);
    bar.setEdge(ABE_TOP);

    EXPECT_EQ(windowRect(barWindow.hwnd()),
              (Rect{0, otherStrip.bottom, screenWidth, otherStrip.bottom + 13}));
    EXPECT_TRUE(barWindow.topmost());
    EXPECT_EQ(desktop.GetWindowLong(barWindow.hwnd(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(desktop.SendMessage(barWindow.hwnd(), TestWindow::kProbe, 1, 0), 2)
        << "the bar's procedure passes other messages on";

    other.remove();
    EXPECT_TRUE(pumpMessagesUntil([&] { return windowRect(barWindow.hwnd()).top == 0; }))
        << "the bar did not follow ABN_POSCHANGED";
    EXPECT_EQ(windowRect(barWindow.hwnd()), (Rect{0, 0, screenWidth, 13}));

    bar.Detach();
    EXPECT_EQ(desktop.GetWindowLong(barWindow.hwnd(), GWL_WNDPROC), ownProcedure);
}

} // namespace
} // namespace quill::testing
