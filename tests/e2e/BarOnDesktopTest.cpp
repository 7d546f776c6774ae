#include "BarOnDesktop.h"

#include <chrono>

namespace quill::testing {
namespace {

using namespace std::chrono_literals;

TEST_F(BarOnDesktopTest, AFullScreenWindowPutsTheBarBelowAndStopsItsWorkUntilItGoes) {
    auto program = startBar("True", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_TRUE(eventually([&] { return screen->hasState(dock, "_NET_WM_STATE_ABOVE"); }));
    ASSERT_TRUE(eventually([&] { return pixelsWhere(kStrip, isText) > 0; }));

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
    EXPECT_TRUE(costsNothing(program->pid())) << "the covered bar kept working";

    xcb_destroy_window(x->raw(), video);
    x->flush();
    EXPECT_TRUE(eventually([&] {
        return screen->hasState(dock, "_NET_WM_STATE_ABOVE") &&
               !screen->hasState(dock, "_NET_WM_STATE_BELOW");
    })) << "the bar did not come back on top";
    const std::vector<Pixel> shown = screen->grab(kStrip);
    EXPECT_TRUE(eventually([&] { return screen->grab(kStrip) != shown; }, 1s))
        << "the strip did not move again";
}

TEST_F(BarOnDesktopTest, ALockedScreenStopsTheStripWhereItStoodAndItGoesOnFromThere) {
    auto program = startBar("True", home);
    waitForDock(*program);
    ASSERT_TRUE(eventually([&] { return pixelsWhere(kStrip, isText) > 0; }));
    // A locker's window: over everything at once, out of the window manager's hands.
    const std::vector<Pixel> before = screen->grab(kStrip);
    const xcb_window_t locker = xcb_generate_id(x->raw());
    const std::uint32_t values[] = {0, 1}; // black, override-redirect
    xcb_create_window(x->raw(), XCB_COPY_FROM_PARENT, locker, x->root(), 0, 0, kScreenWidth,
                      kScreenHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(x->raw(), locker);
    x->flush();
    EXPECT_TRUE(costsNothing(program->pid())) << "the bar kept working under a locked screen";

    xcb_destroy_window(x->raw(), locker);
    x->flush();
    // Three pixels: the few ticks between the grab and the program hearing of the locker.
    EXPECT_TRUE(eventually([&] { return movedAtMost(before, screen->grab(kStrip), 3); }, 2s))
        << "the strip did not come back where it stood";
    const std::vector<Pixel> shown = screen->grab(kStrip);
    EXPECT_TRUE(eventually([&] { return screen->grab(kStrip) != shown; }, 1s))
        << "the strip did not move again";
}

} // namespace
} // namespace quill::testing
