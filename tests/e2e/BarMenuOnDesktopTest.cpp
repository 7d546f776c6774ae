#include "BarOnDesktop.h"

#include <chrono>
#include <cstdlib>
#include <optional>
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

// The pointer leaves the bar in one jump, with nothing of the bar's in between: the strip, held
// while it rested there, moves again within a second.
::testing::AssertionResult stripRunsOnOnceThePointerJumpsAway(BarOnDesktopTest& desktop) {
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    const std::vector<Pixel> held = desktop.screen->grab(headlines);
    desktop.warpPointer(kScreenWidth / 2, kScreenHeight / 2);
    if (eventually([&] { return desktop.screen->grab(headlines) != held; },
                   std::chrono::seconds(1))) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the strip stayed stopped";
}

// Standing still: no column of the strip changes for a few of the mover's ticks.
bool stripHeld(BarOnDesktopTest& desktop) {
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    const std::vector<Pixel> before = desktop.screen->grab(headlines);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return desktop.screen->grab(headlines) == before;
}

TEST_F(BarOnDesktopTest, ARightClickOpensTheMenuWhoseReloadFetchesOnceMoreAndEscapeClosesIt) {
    auto program = startBar("True", home, {feeds.url("/world.xml")});
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    ASSERT_TRUE(windowComesTo(dock, {0, 0, kScreenWidth, kBar}));
    ASSERT_TRUE(eventually([&] {
        return pixelsWhere({0, 0, kScreenWidth - kBoxesWidth, kBar}, isText) > 40;
    }));
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
    EXPECT_TRUE(stripRunsOnOnceThePointerJumpsAway(*this));

    // Apply all in the options window, which re-docks the bar, on the pointer's way from it.
    warpPointer(kScreenWidth - 40, kBar / 2); // the Options box
    ASSERT_TRUE(xdotool({"click", "1"}));
    std::optional<platform::Rect> options;
    ASSERT_TRUE(eventually([&] {
        for (const xcb_window_t window : screen->windowsOf(program->pid())) {
            options = window != dock ? x->screenRect(window) : options;
        }
        return options.has_value();
    })) << "no options window";
    // Twice: the second time the pointer passes where a hold last looked at it.
    for (int round = 1; round <= 2; ++round) {
        warpPointer(500, kBar / 2);
        ASSERT_TRUE(eventually([&] { return stripHeld(*this); }));
        warpPointer(options->left + 598, options->top + 180); // Apply all, at its design place
        ASSERT_TRUE(xdotool({"click", "1"}));
        EXPECT_TRUE(stripRunsOnOnceThePointerJumpsAway(*this)) << "after Apply all " << round;
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
    const platform::Rect strip{0, 0, kScreenWidth, kBar};
    ASSERT_TRUE(eventually([&] { return pixelsWhere(strip, isNotice) == 0; }));
    // The menu opens where the next click is; one left over from the load would take that click.
    warpPointer(800, kBar / 2);
    ASSERT_TRUE(xdotool({"click", "3"}));
    EXPECT_TRUE(eventually([&] {
        return pixelsWhere({800, kBar + 2, 900, kBar + 60}, isMenuFace) > 2000;
    })) << "no menu at the new click";
    EXPECT_EQ(pixelsWhere({460, kBar + 2, 560, kBar + 60}, isMenuFace), 0) << "a stale menu";
    ASSERT_TRUE(xdotool({"key", "Escape"}));
    EXPECT_TRUE(program->running());
}

} // namespace
} // namespace quill::testing
