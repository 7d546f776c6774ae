#include "AppBarFixture.h"
#include "appbar/CBAppBar.h"

#include <memory>
#include <sstream>
#include <stdexcept>

namespace quill::testing {
namespace {

using appbar::CBAppBar::AppBarWndProc;

// The log without the echoes of window moves, which every placement produces.
std::vector<std::string> withoutEchoes(const std::vector<std::string>& calls) {
    std::vector<std::string> kept;
    for (const std::string& line : calls) {
        if (line != "OwnProc 0x47" && line.rfind("SHAppBarMessage 9 ", 0) != 0) {
            kept.push_back(line);
        }
    }
    return kept;
}

std::string hex(std::intptr_t value) {
    std::ostringstream out;
    out << std::hex << value;
    return out.str();
}

using AttachTest = AppBarTest;

TEST_F(AttachTest, ExtendsHooksTimesRegistersFloatsAndTrimsTheSystemMenu) {
    bar.Extends(form);
    const std::string procedure = hex(reinterpret_cast<std::intptr_t>(&AppBarWndProc));
    EXPECT_EQ(withoutEchoes(desktop.calls),
              (std::vector<std::string>{
                  "SetWindowLong -4 " + procedure, "SetTimer 100 400",
                  "SHAppBarMessage 0 edge=5 lParam=0 rc=(0,0,0,0)",
                  // UpdateBar on the default edge: floating where the form is
                  "SHAppBarMessage 8 edge=0 lParam=0 rc=(0,0,0,0)",
                  "SHAppBarMessage 3 edge=5 lParam=0 rc=(0,0,0,0)",
                  "SetWindowPos 0 0 0 1280 240 0x14", "SetWindowPos -1 0 0 0 0 0x13",
                  "SHAppBarMessage 6 edge=5 lParam=0 rc=(0,0,0,0)", "SetWindowLong -16 c80000",
                  "SetWindowPos 0 0 0 0 0 0x37", "ShowWindow 0", "SetWindowLong -20 40000",
                  "ShowWindow 5", "DeleteMenu 61728", "DeleteMenu 61472", "DeleteMenu 61488"}));
    EXPECT_EQ(bar.AttachedForm(), &form);
    EXPECT_EQ(bar.Edge(), 5);
    EXPECT_TRUE(window().visible);
    EXPECT_EQ(window().style, platform::WS_CAPTION | platform::WS_SYSMENU);
    EXPECT_EQ(window().timers.count(appbar::AutoHideTimerId), 1u);
    for (const auto& [message, data] : desktop.shellMessages) {
        EXPECT_EQ(data.cbSize, 36u);
        EXPECT_EQ(data.hWnd, form.hwnd());
        EXPECT_EQ(data.uCallbackMessage, 1124u);
    }
}

// Twips per pixel that are not whole numbers, to see how the form's position is rounded.
class ScaledBackend : public HeadlessBackend {
public:
    using HeadlessBackend::HeadlessBackend;
    float twipsPerPixelX() override { return 12.5f; }
    float twipsPerPixelY() override { return 13.5f; }
};

TEST(AttachScaledTest, FloatingRectangleRoundsHalvesToEvenThenDividesTruncating) {
    FakeDesktop desktop;
    ScaledBackend backend{desktop};
    forms::Application app{backend, desktop};
    backend.attach(app);
    FakeRegistry registry;
    forms::Form form{app, "Form1", "Form1", 2500, 675};
    desktop.window(form.hwnd()).rect = {101, 7, 301, 57};
    appbar::TAppBar bar{desktop, registry};

    bar.Extends(form);
    // Left 1262.5 -> 1262, / R(12.5) = 12 -> 105; Top 94.5 -> 94, / R(13.5) = 14 -> 6;
    // right 3762.5 -> 3762, / 12 -> 313; bottom 769.5 -> 770, / 14 -> 55.
    EXPECT_EQ(bar.FloatLeft(), 105);
    EXPECT_EQ(bar.FloatTop(), 6);
    EXPECT_EQ(bar.FloatRight(), 313);
    EXPECT_EQ(bar.FloatBottom(), 55);
    EXPECT_EQ(desktop.window(form.hwnd()).rect, (Rect{105, 6, 313, 55}));
}

TEST_F(AttachTest, DetachStopsTheTimerLeavesTheShellAndRestoresTheProcedure) {
    const std::intptr_t ownProcedure = desktop.GetWindowLong(form.hwnd(), platform::GWL_WNDPROC);
    dockOnTop();
    const auto& hook = appbar::CBAppBar::state();
    EXPECT_EQ(hook.HookedWnd, form.hwnd());
    EXPECT_EQ(hook.HookedBar, &bar);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(hook.PrevWndProc), ownProcedure);
    bar.Detach();
    EXPECT_EQ(hook.HookedBar, &bar) << "the module keeps its bar";
    EXPECT_EQ(desktop.calls.front(), "KillTimer 100");
    EXPECT_EQ(shellMessageNumbers(),
              (std::vector<std::uint32_t>{platform::ABM_SETAUTOHIDEBAR, platform::ABM_REMOVE,
                                          platform::ABM_WINDOWPOSCHANGED, // the Z order's echo
                                          platform::ABM_ACTIVATE}));
    EXPECT_EQ(desktop.calls.back(), "SetWindowLong -4 " + hex(ownProcedure));
    EXPECT_EQ(desktop.GetWindowLong(form.hwnd(), platform::GWL_WNDPROC), ownProcedure);
    EXPECT_EQ(desktop.registered.count(form.hwnd()), 0u);
    EXPECT_EQ(desktop.reserved.count(form.hwnd()), 0u);
    EXPECT_TRUE(window().timers.empty());
    EXPECT_EQ(bar.Edge(), 4);
    EXPECT_EQ(bar.AttachedForm(), &form);

    // Messages no longer pass through the bar.
    desktop.calls.clear();
    desktop.SendMessage(form.hwnd(), platform::WM_ACTIVATE, 0, 0);
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"OwnProc 0x6"}));
}

TEST_F(AttachTest, SlideTimeRestartsTheAutoHideTimer) {
    dockOnTop();
    bar.setSlideTime(250);
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"KillTimer 100", "SetTimer 100 250"}));
    EXPECT_EQ(bar.SlideTime(), 250);
    EXPECT_EQ(window().timers.count(appbar::AutoHideTimerId), 1u);
}

TEST_F(AttachTest, WhatNeedsTheWindowFailsWithoutAForm) {
    EXPECT_THROW(bar.setSlideTime(100), std::logic_error);
    EXPECT_EQ(bar.SlideTime(), 400);
    EXPECT_THROW(bar.setEdge(1), std::logic_error);
    EXPECT_THROW(bar.UpdateBar(), std::logic_error);
    EXPECT_THROW(bar.Detach(), std::logic_error);
    EXPECT_TRUE(desktop.calls.empty());
    // Plain properties need no window.
    bar.setDockedHeight(13);
    EXPECT_EQ(bar.DockedHeight(), 13);
}

TEST_F(AttachTest, HookingTheSameWindowTwiceDoesNotLoopOnItself) {
    const std::intptr_t ownProcedure = desktop.GetWindowLong(form.hwnd(), platform::GWL_WNDPROC);
    bar.Extends(form);
    bar.Extends(form);
    desktop.ownProcMessages.clear();
    desktop.SendMessage(form.hwnd(), platform::WM_TIMER, appbar::AutoHideTimerId, 0);
    EXPECT_EQ(desktop.ownProcMessages, (std::vector<std::uint32_t>{platform::WM_TIMER}));
    bar.Detach();
    EXPECT_EQ(desktop.GetWindowLong(form.hwnd(), platform::GWL_WNDPROC), ownProcedure);
}

TEST_F(AttachTest, ABarDestroyedWhileHookedNoLongerReceivesMessages) {
    auto doomed = std::make_unique<appbar::TAppBar>(desktop, registry);
    doomed->Extends(form);
    doomed->setEdge(1);
    doomed.reset();
    desktop.calls.clear();
    desktop.notifyBars(platform::ABN_POSCHANGED, 0);
    // The form's own procedure gets the notification; nothing re-docks.
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"OwnProc 0x464"}));
}

} // namespace
} // namespace quill::testing
