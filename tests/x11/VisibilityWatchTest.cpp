#include "platform/x11/VisibilityWatch.h"

#include "platform/x11/XConnection.h"
#include "support/Eventually.h"
#include "x11/TestDisplay.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace quill::platform::x11 {
namespace {

// Windows of the test's own, out of the window manager's hands, over the watched one or not.
struct VisibilityWatchTest : ::testing::Test {
    void SetUp() override {
        QUILL_REQUIRE_DISPLAY();
        x = std::make_unique<XConnection>();
        ASSERT_TRUE(x->ok());
        watch = VisibilityWatch::connect();
        ASSERT_NE(watch, nullptr);
        watch->changed = [this](Hwnd window, bool seen) { reports.emplace_back(window, seen); };
    }
    void TearDown() override {
        if (x) {
            for (const xcb_window_t window : windows) {
                xcb_destroy_window(x->raw(), window);
            }
            xcb_force_screen_saver(x->raw(), XCB_SCREEN_SAVER_RESET);
            x->sync();
        }
    }

    // At the screen's top left corner, mapped or not.
    xcb_window_t window(std::uint16_t width, std::uint16_t height, bool mapped) {
        const xcb_window_t id = windows.emplace_back(xcb_generate_id(x->raw()));
        const std::uint32_t overrideRedirect = 1;
        xcb_create_window(x->raw(), XCB_COPY_FROM_PARENT, id, x->root(), 0, 0, width, height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        if (mapped) {
            xcb_map_window(x->raw(), id);
        }
        x->sync();
        return id;
    }
    // The watch's last word, once it came.
    bool lastReportIs(Hwnd window, bool seen) {
        return testing::eventually([&] {
            watch->processEvents();
            return !reports.empty() && reports.back() == std::pair{window, seen};
        });
    }

    std::unique_ptr<XConnection> x;
    std::unique_ptr<VisibilityWatch> watch;
    std::vector<xcb_window_t> windows;
    std::vector<std::pair<Hwnd, bool>> reports;
};

TEST_F(VisibilityWatchTest, AWindowIsUnseenOnlyWhileCoveredWhole) {
    const xcb_window_t bar = window(200, 20, false);
    watch->watch(bar);
    xcb_map_window(x->raw(), bar);
    window(100, 20, true); // covers half of it
    EXPECT_TRUE(watch->seen(bar));
    const xcb_window_t cover = window(300, 40, true);
    EXPECT_TRUE(lastReportIs(bar, false));
    xcb_unmap_window(x->raw(), cover);
    x->flush();
    EXPECT_TRUE(lastReportIs(bar, true));
}

TEST_F(VisibilityWatchTest, TheScreenSaverMakesEveryWindowUnseenWhileItIsOn) {
    const xcb_window_t bar = window(200, 20, false); // never mapped: the saver alone tells
    watch->watch(bar);
    xcb_force_screen_saver(x->raw(), XCB_SCREEN_SAVER_ACTIVE);
    x->flush();
    EXPECT_TRUE(lastReportIs(bar, false));
    xcb_force_screen_saver(x->raw(), XCB_SCREEN_SAVER_RESET);
    x->flush();
    EXPECT_TRUE(lastReportIs(bar, true));
}

} // namespace
} // namespace quill::platform::x11
