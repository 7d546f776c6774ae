#include "AppBarFixture.h"

#include <cstdio>
#include <functional>

namespace quill::testing {
namespace {

using namespace platform;

constexpr std::uint32_t kSlideFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

struct DockingTest : AppBarTest {
    // The slide's frames as (left, top, width, height), from the log.
    std::vector<Rect> slideFrames() const {
        std::vector<Rect> frames;
        for (const std::string& line : desktop.calls) {
            int insertAfter = 0, x = 0, y = 0, cx = 0, cy = 0;
            unsigned flags = 0;
            if (std::sscanf(line.c_str(), "SetWindowPos %d %d %d %d %d 0x%x", &insertAfter, &x, &y,
                            &cx, &cy, &flags) == 6 &&
                flags == kSlideFlags) {
                frames.push_back({x, y, cx, cy});
            }
        }
        return frames;
    }

    // Floating at (100, 200)-(500, 300), log cleared.
    void floatAt100x200() {
        if (bar.AttachedForm() == nullptr) {
            bar.Extends(form);
        }
        bar.setFloatLeft(100);
        bar.setFloatTop(200);
        bar.setFloatRight(500);
        bar.setFloatBottom(300);
        bar.setEdge(5);
        ASSERT_EQ(windowRect(), (Rect{100, 200, 500, 300}));
        desktop.calls.clear();
        desktop.shellMessages.clear();
    }

    // Frames of a slide from the floating rectangle to the bottom strip (0, 992)-(1280, 1024),
    // computed by hand from cur - (cur - target) * k / 400, truncating toward zero.
    static std::vector<Rect> framesEvery50ms() {
        return {{100, 200, 400, 100}, {88, 299, 510, 92}, {75, 398, 620, 83},  {63, 497, 730, 75},
                {50, 596, 840, 66},   {38, 695, 950, 58}, {25, 794, 1060, 49}, {13, 893, 1170, 41}};
    }
};

TEST_F(DockingTest, DockingOnTopTakesTheFreeSpaceWithTheBarsThickness) {
    bar.Extends(form);
    bar.setEdge(1);
    bar.setDockedHeight(13);
    EXPECT_EQ(windowRect(), (Rect{0, 0, 1280, 32})) << "the new thickness waits for a docking";
    bar.UpdateBar();
    EXPECT_EQ(windowRect(), (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(desktop.reserved.at(form.hwnd()), (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(window().style & (WS_CAPTION | WS_SYSMENU), 0);
    EXPECT_EQ(window().zOrder, HWND_TOPMOST);
}

TEST_F(DockingTest, ANeighbourOnTheSameEdgePushesTheStripInward) {
    desktop.addForeignBar(ABE_TOP, {0, 0, 1280, 30});
    desktop.addForeignBar(ABE_BOTTOM, {0, 994, 1280, 1024});
    dockOnTop();
    EXPECT_EQ(windowRect(), (Rect{0, 30, 1280, 43}));

    bar.setEdge(3);
    EXPECT_EQ(windowRect(), (Rect{0, 981, 1280, 994}));
    EXPECT_EQ(desktop.reserved.at(form.hwnd()), (Rect{0, 981, 1280, 994}));
}

TEST_F(DockingTest, TopStripRunsFromTheFreeLeftToTheFreeRight) {
    desktop.trimAcrossEdges = true;
    desktop.addForeignBar(ABE_LEFT, {0, 0, 50, 1024});
    desktop.addForeignBar(ABE_RIGHT, {1230, 0, 1280, 1024});
    desktop.addForeignBar(ABE_TOP, {50, 0, 1230, 20});
    dockOnTop(13);
    EXPECT_EQ(windowRect(), (Rect{50, 20, 1230, 33}));
}

TEST_F(DockingTest, SettingTheSameEdgeAgainRunsEveryStep) {
    dockOnTop();
    bar.setEdge(1);
    EXPECT_EQ(shellMessageNumbers(),
              (std::vector<std::uint32_t>{ABM_SETAUTOHIDEBAR, ABM_SETAUTOHIDEBAR, ABM_QUERYPOS,
                                          ABM_SETPOS, ABM_WINDOWPOSCHANGED, // the final placement
                                          ABM_WINDOWPOSCHANGED,             // the Z order
                                          ABM_ACTIVATE}));
    const auto& [lastSetPos, record] = desktop.shellMessages[3];
    EXPECT_EQ(record.uEdge, 1u);
    EXPECT_EQ(record.rc, (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(desktop.shellMessages[1].second.lParam, -1); // auto-hide claim for its edge
    EXPECT_EQ(indexOf("SetWindowPos -1 0 0 0 0 0x13") > indexOf("SetWindowPos 0 0 0 1280 13"),
              true);
    EXPECT_TRUE(slideFrames().empty()); // already in place
}

TEST_F(DockingTest, FloatingReservesNothingAndTakesTheFloatingRectangle) {
    dockOnTop();
    bar.setFloatLeft(10);
    bar.setFloatTop(20);
    bar.setFloatRight(410);
    bar.setFloatBottom(120);
    bar.setEdge(5);
    EXPECT_EQ(windowRect(), (Rect{10, 20, 410, 120}));
    EXPECT_EQ(desktop.reserved.count(form.hwnd()), 0u);
    EXPECT_TRUE(slideFrames().empty());
    EXPECT_EQ(window().style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
}

TEST_F(DockingTest, SlideFramesFollowTheIntegerFormula) {
    floatAt100x200();
    desktop.tickStep = 50;
    bar.setEdge(3);
    EXPECT_EQ(slideFrames(), framesEvery50ms());
    EXPECT_EQ(callsStartingWith("UpdateWindow").size(), 8u);
    EXPECT_EQ(windowRect(), (Rect{0, 992, 1280, 1024}));
}

TEST_F(DockingTest, SlideSurvivesTheTickCountWrapping) {
    floatAt100x200();
    desktop.tickStep = 50;
    desktop.tickCount = 0xFFFFFFFFu - 100; // wraps after the second frame
    bar.setEdge(3);
    EXPECT_EQ(slideFrames(), framesEvery50ms());
    EXPECT_EQ(windowRect(), (Rect{0, 992, 1280, 1024}));
}

TEST_F(DockingTest, TheBarJumpsWhenSlidingIsOff) {
    const std::vector<std::function<void()>> switchesOff = {
        [this] { desktop.dragFullWindows = false; }, [this] { bar.setSlideEffect(false); },
        [this] { bar.setSlideTime(0); }, [this] { bar.setSlideTime(-5); }};
    for (std::size_t i = 0; i < switchesOff.size(); ++i) {
        floatAt100x200();
        switchesOff[i]();
        desktop.calls.clear();
        bar.setEdge(3);
        EXPECT_TRUE(slideFrames().empty()) << i;
        EXPECT_EQ(windowRect(), (Rect{0, 992, 1280, 1024})) << i;
        // back to the defaults for the next case
        desktop.dragFullWindows = true;
        bar.setSlideEffect(true);
        bar.setSlideTime(400);
    }
}

TEST_F(DockingTest, ZOrderFollowsAlwaysOnTopAndFullScreenApps) {
    dockOnTop();
    EXPECT_EQ(window().zOrder, HWND_TOPMOST);

    desktop.notifyBars(ABN_FULLSCREENAPP, 1);
    EXPECT_TRUE(bar.FullScreenApp());
    EXPECT_EQ(window().zOrder, HWND_BOTTOM);
    EXPECT_EQ(callsStartingWith("SetWindowPos 1 0 0 0 0 0x13").size(), 1u);

    desktop.notifyBars(ABN_FULLSCREENAPP, 0);
    EXPECT_FALSE(bar.FullScreenApp());
    EXPECT_EQ(window().zOrder, HWND_TOPMOST);

    bar.setAlwaysOnTop(false);
    desktop.notifyBars(ABN_FULLSCREENAPP, 1);
    EXPECT_EQ(window().zOrder, HWND_NOTOPMOST);
    bar.UpdateBar();
    EXPECT_EQ(desktop.calls.back().rfind("SetWindowPos", 0), std::string::npos);
    EXPECT_EQ(callsStartingWith("SetWindowPos -2 0 0 0 0 0x13").size(), 2u);
}

TEST_F(DockingTest, TaskbarButtonOnlyWhileFloatingFlickersOnlyOnRealChanges) {
    bar.Extends(form); // rule 2, floating: the button appears and shows the hidden form
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    EXPECT_TRUE(window().visible);

    desktop.calls.clear();
    bar.setEdge(1);
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(callsStartingWith("ShowWindow"),
              (std::vector<std::string>{"ShowWindow 0", "ShowWindow 5"}));
    EXPECT_LT(indexOf("ShowWindow 0"), indexOf("SetWindowLong -20 0"));
    EXPECT_LT(indexOf("SetWindowLong -20 0"), indexOf("ShowWindow 5"));

    desktop.calls.clear();
    bar.setEdge(3);
    EXPECT_TRUE(callsStartingWith("ShowWindow").empty());
    EXPECT_TRUE(callsStartingWith("SetWindowLong -20").empty());

    bar.setEdge(4); // no edge: left as it is
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, 0);
    bar.setEdge(5);
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
}

TEST_F(DockingTest, TaskbarButtonAlwaysNeverOrLeftAlone) {
    bar.setTaskbarButton(0);
    bar.Extends(form);
    bar.setEdge(1);
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);

    bar.setTaskbarButton(1);
    bar.setEdge(5);
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, 0);

    window().exStyle |= WS_EX_APPWINDOW;
    bar.setTaskbarButton(7);
    desktop.calls.clear();
    bar.setEdge(1);
    EXPECT_EQ(window().exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    EXPECT_TRUE(callsStartingWith("ShowWindow").empty());
}

TEST_F(DockingTest, AFormWithoutTaskbarButtonStaysHiddenAfterAttaching) {
    bar.setTaskbarButton(1);
    bar.Extends(form);
    EXPECT_FALSE(window().visible);
    EXPECT_TRUE(callsStartingWith("ShowWindow").empty());
}

} // namespace
} // namespace quill::testing
