#include "BarOnDesktop.h"

#include <csignal>

namespace quill::testing {
namespace {

// What docking must give under every window manager that honours struts; run under each one
// by setting QUILL_WM.
using BarDockingTest = BarOnDesktopTest;

constexpr std::uint32_t kStateAdd = 1, kSourceApplication = 1;

TEST_F(BarDockingTest, ATopBarReservesItsStripAndScrollsHeadlines) {
    QUILL_SKIP_WHERE_WM_DIFFERS(DockingCheck::TopStrip);
    auto program = startBar("True", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    EXPECT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}))
        << "work area " << screen->workArea().top;
    const platform::Rect strip{0, 0, kScreenWidth, kBar};
    EXPECT_TRUE(windowComesTo(dock, strip));

    // Both feeds were fetched, the notice went with the first load, and headlines came in from
    // the right past the Options and X boxes, whose own text does not count.
    ASSERT_TRUE(eventually([&] { return feeds.requestCount() >= 2; }));
    EXPECT_TRUE(eventually([&] { return pixelsWhere(strip, isNotice) == 0; }))
        << "the loading notice is still showing";
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(eventually([&] { return pixelsWhere(headlines, isText) > 40; }))
        << "no headline text on the bar";
    // The background between headlines is the bar's dark colour.
    EXPECT_GT(pixelsWhere(strip, isBarBackground), kScreenWidth * kBar / 2);
    EXPECT_TRUE(program->running());
}

TEST_F(BarDockingTest, ABottomBarReservesTheBottomStrip) {
    QUILL_SKIP_WHERE_WM_DIFFERS(DockingCheck::BottomStrip);
    auto program = startBar("False", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    EXPECT_TRUE(workAreaIs({0, 0, kScreenWidth, kScreenHeight - kBar}));
    EXPECT_TRUE(windowComesTo(dock, {0, kScreenHeight - kBar, kScreenWidth, kScreenHeight}));
}

TEST_F(BarDockingTest, AMaximisedWindowStaysClearOfTheBar) {
    QUILL_SKIP_WHERE_WM_DIFFERS(DockingCheck::MaximisedWindowClear);
    for (const bool top : {true, false}) {
        TempFolder folder;
        auto program = startBar(top ? "True" : "False", folder);
        ASSERT_NE(waitForDock(*program), 0u);
        const platform::Rect free = top ? platform::Rect{0, kBar, kScreenWidth, kScreenHeight}
                                        : platform::Rect{0, 0, kScreenWidth, kScreenHeight - kBar};
        ASSERT_TRUE(workAreaIs(free));
        ChildProcess::Options options;
        options.environment = {{"DISPLAY", server->display()}};
        ChildProcess terminal({"xterm", "-e", "sleep", "60"}, options);
        std::optional<platform::Rect> window;
        xcb_window_t managed = 0;
        ASSERT_TRUE(eventually([&] {
            const auto windows = screen->windowsOf(terminal.pid());
            managed = windows.empty() ? 0 : windows.front();
            return managed != 0 && x->mapped(managed);
        }));
        // What a maximise button does: the window manager sizes it to the work area. (xterm's own
        // -maximized sizes it to the screen, which not every window manager trims.)
        x->sendToRoot(managed, x->atom("_NET_WM_STATE"),
                      {kStateAdd, x->atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                       x->atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourceApplication, 0});
        x->flush();
        ASSERT_TRUE(eventually([&] {
            window = x->screenRect(managed);
            return window && window->height() > kScreenHeight / 2 &&
                   window->width() > kScreenWidth / 2;
        })) << "the terminal was not maximised";
        EXPECT_GE(window->top, free.top) << (top ? "top" : "bottom");
        EXPECT_LE(window->bottom, free.bottom) << (top ? "top" : "bottom");
    }
}

TEST_F(BarDockingTest, TwoBarsOnTheSameEdgeStack) {
    QUILL_SKIP_WHERE_WM_DIFFERS(DockingCheck::BarsStack);
    TempFolder secondHome;
    auto first = startBar("True", home);
    const xcb_window_t firstDock = waitForDock(*first);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    auto second = startBar("True", secondHome);
    const xcb_window_t secondDock = waitForDock(*second);
    ASSERT_TRUE(workAreaIs({0, 2 * kBar, kScreenWidth, kScreenHeight}));
    EXPECT_TRUE(windowComesTo(firstDock, {0, 0, kScreenWidth, kBar}));
    EXPECT_TRUE(windowComesTo(secondDock, {0, kBar, kScreenWidth, 2 * kBar}));
    // The upper one quits by its X box: the lower moves up to the edge, its strut only its own.
    warpPointer(kScreenWidth - 10, kBar / 2); // on the "X", not its right margin
    ASSERT_TRUE(xdotool({"click", "1"}));
    ASSERT_TRUE(eventually([&] { return !first->running(); }));
    EXPECT_TRUE(windowComesTo(secondDock, {0, 0, kScreenWidth, kBar}));
    EXPECT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
}

TEST_F(BarDockingTest, KillingTheProgramGivesTheWorkAreaBack) {
    QUILL_SKIP_WHERE_WM_DIFFERS(DockingCheck::WorkAreaBack);
    auto program = startBar("True", home);
    ASSERT_NE(waitForDock(*program), 0u);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    program->stop(SIGKILL);
    EXPECT_TRUE(workAreaIs({0, 0, kScreenWidth, kScreenHeight}));
}

} // namespace
} // namespace quill::testing
