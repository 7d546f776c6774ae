#include "BarOnDesktop.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace quill::testing {
namespace {

// The menu's face, far lighter than the desktop's black and the bar's dark strip.
bool isMenuFace(const Pixel& p) {
    return p.r > 200 && p.g > 200 && p.b > 200;
}

// True while another client holds the keyboard, as an open menu does: the test's own grab fails.
bool keyboardTaken(platform::x11::XConnection& x) {
    xcb_connection_t* c = x.raw();
    xcb_grab_keyboard_reply_t* reply =
        xcb_grab_keyboard_reply(c,
                                xcb_grab_keyboard(c, 0, x.root(), XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    const bool taken = reply != nullptr && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    if (reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        x.flush();
    }
    std::free(reply);
    return taken;
}

TEST_F(BarOnDesktopTest, ARightClickOpensTheMenuWhoseReloadFetchesOnceMoreAndEscapeClosesIt) {
    auto program = startBar("True", home, {feeds.url("/world.xml")});
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    ASSERT_TRUE(windowComesTo(dock, {0, 0, kScreenWidth, kBar}));
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(eventually([&] { return pixelsWhere(headlines, isText) > 40; }));
    // Held, it stands still for a few of the mover's ticks; once the pointer jumps off the bar
    // with nothing of the bar's in between, it moves within a second.
    const auto held = [&] {
        const std::vector<Pixel> before = screen->grab(headlines);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return screen->grab(headlines) == before;
    };
    const auto runsOnOncePointerJumpsAway = [&] {
        const std::vector<Pixel> before = screen->grab(headlines);
        warpPointer(kScreenWidth / 2, kScreenHeight / 2);
        return eventually([&] { return screen->grab(headlines) != before; },
                          std::chrono::seconds(1));
    };
    ASSERT_EQ(feeds.requestCount(), 1u);
    // Below the pointer, where the menu opens: bare desktop until then.
    const platform::Rect below{400, kBar + 2, 500, kBar + 60};
    ASSERT_EQ(pixelsWhere(below, isMenuFace), 0);

    warpPointer(400, kBar / 2);
    ASSERT_TRUE(xdotool({"click", "3"}));
    ASSERT_TRUE(eventually([&] { return pixelsWhere(below, isMenuFace) > 2000; }))
        << "no menu below the pointer";
    ASSERT_TRUE(eventually([&] { return keyboardTaken(*x); })) << "the menu has no keyboard";
    // The first item is "Reload now".
    ASSERT_TRUE(xdotool({"key", "Down", "Return"}));
    EXPECT_TRUE(eventually([&] { return feeds.requestCount() == 2; })) << "no reload";
    EXPECT_TRUE(eventually([&] { return pixelsWhere(below, isMenuFace) == 0; }));
    EXPECT_TRUE(eventually([&] { return !keyboardTaken(*x); })) << "the bar kept the keyboard";

    warpPointer(420, kBar / 2);
    ASSERT_TRUE(xdotool({"click", "3"}));
    ASSERT_TRUE(eventually([&] { return pixelsWhere(below, isMenuFace) > 2000; }));
    ASSERT_TRUE(eventually([&] { return keyboardTaken(*x); }));
    ASSERT_TRUE(xdotool({"key", "Escape"}));
    EXPECT_TRUE(eventually([&] { return pixelsWhere(below, isMenuFace) == 0; }))
        << "Escape left the menu open";
    EXPECT_EQ(feeds.requestCount(), 2u);
    EXPECT_TRUE(runsOnOncePointerJumpsAway()) << "the strip stayed stopped";

    // Apply all in the options window, which re-docks the bar, on the pointer's way from it.
    warpPointer(kScreenWidth - 40, kBar / 2); // the Options box
    ASSERT_TRUE(xdotool({"click", "1"}));
    ASSERT_TRUE(eventually([&] { return screen->windowsOf(program->pid()).size() == 2; }));
    // Twice: the second time the pointer passes where a hold last looked at it.
    for (int round = 1; round <= 2; ++round) {
        warpPointer(500, kBar / 2);
        ASSERT_TRUE(eventually(held));
        // Apply all, at its design place in the window, which opens mid-screen.
        warpPointer((kScreenWidth - 709) / 2 + 598, (kScreenHeight - 217) / 2 + 180);
        ASSERT_TRUE(xdotool({"click", "1"}));
        EXPECT_TRUE(runsOnOncePointerJumpsAway()) << "stopped after Apply all " << round;
    }

    // A right click while a load holds the bar, the pointer gone before its end: no menu then.
    feeds.delay("/world.xml", std::chrono::seconds(2));
    warpPointer(460, kBar / 2);
    ASSERT_TRUE(xdotool({"click", "3"}));
    ASSERT_TRUE(eventually([&] { return keyboardTaken(*x); }));
    ASSERT_TRUE(xdotool({"key", "Down", "Return"}));
    ASSERT_TRUE(eventually([&] { return feeds.requestCount() == 3; }));
    ASSERT_TRUE(xdotool({"click", "3"}));
    warpPointer(kScreenWidth / 2, kScreenHeight / 2);
    ASSERT_TRUE(eventually([&] { return pixelsWhere({0, 0, kScreenWidth, kBar}, isNotice) == 0; }));
    // The menu opens where the next click is; one left over from the load would take that click.
    warpPointer(800, kBar / 2);
    ASSERT_TRUE(xdotool({"click", "3"}));
    EXPECT_TRUE(eventually([&] {
        return pixelsWhere({800, kBar + 2, 900, kBar + 60}, isMenuFace) > 2000;
    })) << "no menu at the new click";
    EXPECT_EQ(pixelsWhere({460, kBar + 2, 560, kBar + 60}, isMenuFace), 0) << "a stale menu";
    EXPECT_TRUE(program->running());
}

} // namespace
} // namespace quill::testing
