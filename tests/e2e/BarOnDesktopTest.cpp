#include "BarOnDesktop.h"

#include <csignal>

namespace quill::testing {
namespace {

TEST_F(BarOnDesktopTest, ATopBarReservesItsStripAndScrollsHeadlines) {
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

TEST_F(BarOnDesktopTest, ABottomBarReservesTheBottomStrip) {
    auto program = startBar("False", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    EXPECT_TRUE(workAreaIs({0, 0, kScreenWidth, kScreenHeight - kBar}));
    EXPECT_TRUE(windowComesTo(dock, {0, kScreenHeight - kBar, kScreenWidth, kScreenHeight}));
}

TEST_F(BarOnDesktopTest, AMaximisedWindowStaysClearOfTheBar) {
    for (const bool top : {true, false}) {
        TempFolder folder;
        auto program = startBar(top ? "True" : "False", folder);
        ASSERT_NE(waitForDock(*program), 0u);
        const platform::Rect free = top ? platform::Rect{0, kBar, kScreenWidth, kScreenHeight}
                                        : platform::Rect{0, 0, kScreenWidth, kScreenHeight - kBar};
        ASSERT_TRUE(workAreaIs(free));
        ChildProcess::Options options;
        options.environment = {{"DISPLAY", server->display()}};
        ChildProcess terminal({"xterm", "-maximized", "-e", "sleep", "60"}, options);
        std::optional<platform::Rect> window;
        ASSERT_TRUE(eventually([&] {
            const auto windows = screen->windowsOf(terminal.pid());
            window = windows.empty() ? std::nullopt : x->screenRect(windows.front());
            return window && window->height() > kScreenHeight / 2;
        }));
        EXPECT_GE(window->top, free.top) << (top ? "top" : "bottom");
        EXPECT_LE(window->bottom, free.bottom) << (top ? "top" : "bottom");
    }
}

TEST_F(BarOnDesktopTest, TwoBarsOnTheSameEdgeStack) {
    TempFolder secondHome;
    auto first = startBar("True", home);
    const xcb_window_t firstDock = waitForDock(*first);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    auto second = startBar("True", secondHome);
    const xcb_window_t secondDock = waitForDock(*second);
    ASSERT_TRUE(workAreaIs({0, 2 * kBar, kScreenWidth, kScreenHeight}));
    EXPECT_TRUE(windowComesTo(firstDock, {0, 0, kScreenWidth, kBar}));
    EXPECT_TRUE(windowComesTo(secondDock, {0, kBar, kScreenWidth, 2 * kBar}));
}

TEST_F(BarOnDesktopTest, AFullScreenWindowPutsTheBarBelowUntilItGoes) {
    auto program = startBar("True", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_TRUE(eventually([&] { return screen->hasState(dock, "_NET_WM_STATE_ABOVE"); }));

    const xcb_window_t video = xcb_generate_id(x->raw());
    xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(x->raw())).data;
    xcb_create_window(x->raw(), XCB_COPY_FROM_PARENT, video, root->root, 0, 0, 640, 480, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, root->root_visual, 0, nullptr);
    const std::uint32_t fullscreen = x->atom("_NET_WM_STATE_FULLSCREEN");
    x->setProperty(video, x->atom("_NET_WM_STATE"), XCB_ATOM_ATOM, {&fullscreen, 1});
    xcb_map_window(x->raw(), video);
    x->flush();
    EXPECT_TRUE(eventually([&] {
        return screen->hasState(dock, "_NET_WM_STATE_BELOW") &&
               !screen->hasState(dock, "_NET_WM_STATE_ABOVE");
    })) << "the bar stayed on top of a full-screen window";

    xcb_destroy_window(x->raw(), video);
    x->flush();
    EXPECT_TRUE(eventually([&] {
        return screen->hasState(dock, "_NET_WM_STATE_ABOVE") &&
               !screen->hasState(dock, "_NET_WM_STATE_BELOW");
    })) << "the bar did not come back on top";
}

TEST_F(BarOnDesktopTest, KillingTheProgramGivesTheWorkAreaBack) {
    auto program = startBar("True", home);
    ASSERT_NE(waitForDock(*program), 0u);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    program->stop(SIGKILL);
    EXPECT_TRUE(workAreaIs({0, 0, kScreenWidth, kScreenHeight}));
}

} // namespace
} // namespace quill::testing
