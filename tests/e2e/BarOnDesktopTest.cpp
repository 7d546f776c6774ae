#include "BarOnDesktop.h"

namespace quill::testing {
namespace {

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

} // namespace
} // namespace quill::testing
