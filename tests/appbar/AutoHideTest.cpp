#include "AppBarFixture.h"

namespace quill::testing {
namespace {

using namespace platform;

struct AutoHideTest : AppBarTest {
    // An auto-hide bar 13 pixels high on the top edge, docked hidden, log cleared.
    void autoHideOnTop() {
        bar.Extends(form);
        bar.setDockedHeight(13);
        bar.setAutoHide(true);
        bar.setEdge(1);
        desktop.calls.clear();
        desktop.shellMessages.clear();
    }
};

TEST_F(AutoHideTest, ASecondAutoHideBarOnAnEdgeIsRefusedOnceAndDocksNormally) {
    const Hwnd other = desktop.createWindow({0, 0, 1280, 2});
    desktop.autoHideBars[ABE_TOP] = other;
    dockOnTop();
    bar.setAutoHide(true);
    bar.UpdateBar();

    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].owner, form.hwnd());
    EXPECT_EQ(desktop.boxes[0].text, "There is already an auto hidden window on this edge.\n\r"
                                     "Only one auto hidden window is allowed on each edge.");
    EXPECT_EQ(desktop.boxes[0].caption, "Form1");
    EXPECT_EQ(desktop.boxes[0].style, MB_ICONINFORMATION);
    EXPECT_FALSE(bar.AutoHide());
    EXPECT_EQ(desktop.autoHideBars.at(ABE_TOP), other);
    // Space queried and reserved as for a normal bar.
    EXPECT_EQ(shellMessageNumbers()[2], ABM_QUERYPOS);
    EXPECT_EQ(desktop.reserved.at(form.hwnd()), (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(windowRect(), (Rect{0, 0, 1280, 13}));

    bar.UpdateBar();
    EXPECT_EQ(desktop.boxes.size(), 1u);
}

TEST_F(AutoHideTest, AHiddenTopBarLeavesTwoPixelsOnTheScreenAndReservesNothing) {
    autoHideOnTop();
    EXPECT_EQ(windowRect(), (Rect{0, 2 - 13, 1280, 2}));
    EXPECT_FALSE(bar.BarShown());
    EXPECT_EQ(desktop.reserved.count(form.hwnd()), 0u);
    EXPECT_EQ(desktop.autoHideBars.at(ABE_TOP), form.hwnd());

    bar.UpdateBar();
    EXPECT_EQ(
        shellMessageNumbers(),
        (std::vector<std::uint32_t>{ABM_SETAUTOHIDEBAR, ABM_SETAUTOHIDEBAR, ABM_SETPOS,
                                    ABM_WINDOWPOSCHANGED, ABM_WINDOWPOSCHANGED, ABM_ACTIVATE}));
    const AppBarData& setPos = desktop.shellMessages[2].second;
    EXPECT_EQ(setPos.uEdge, 0u);
    EXPECT_EQ(setPos.rc, Rect{});
}

TEST_F(AutoHideTest, FrameMouseMovesBringItBackAndDeactivationHidesIt) {
    autoHideOnTop();
    desktop.SendMessage(form.hwnd(), WM_NCMOUSEMOVE, 0, 0);
    EXPECT_TRUE(bar.BarShown());
    EXPECT_EQ(windowRect(), (Rect{0, 0, 1280, 13}));

    bar.UpdateBar(); // docking keeps the shown state
    EXPECT_EQ(windowRect(), (Rect{0, 0, 1280, 13}));

    desktop.SendMessage(form.hwnd(), WM_ACTIVATE, 0, 0);
    EXPECT_FALSE(bar.BarShown());
    EXPECT_EQ(windowRect(), (Rect{0, -11, 1280, 2}));
}

TEST_F(AutoHideTest, TheTimerHidesTheBarOnlyWhenInactiveAndThePointerIsAway) {
    autoHideOnTop();
    bar.SetShown(true);
    const auto tick = [&] {
        desktop.SendMessage(form.hwnd(), WM_TIMER, appbar::AutoHideTimerId, 0);
    };

    desktop.activeWindow = form.hwnd();
    desktop.messagePos = packPoint(640, 900);
    tick();
    EXPECT_TRUE(bar.BarShown());

    desktop.activeWindow = 0;
    desktop.messagePos = packPoint(1288, 21); // the corner of the grown rectangle
    tick();
    EXPECT_TRUE(bar.BarShown());

    // Left of the primary screen, still within reach: signed coordinates.
    desktop.messagePos = packPoint(-5, 5);
    tick();
    EXPECT_TRUE(bar.BarShown());

    desktop.messagePos = packPoint(640, 22);
    tick();
    EXPECT_FALSE(bar.BarShown());
    EXPECT_EQ(windowRect(), (Rect{0, -11, 1280, 2}));
}

TEST_F(AutoHideTest, HiddenAndShownPlacesOnEveryEdge) {
    bar.Extends(form);
    bar.setAutoHide(true);
    bar.setDockedWidth(40);
    bar.setDockedHeight(13);
    const struct {
        int edge;
        Rect hidden, shown;
    } cases[] = {{0, {2 - 40, 0, 2, 1024}, {0, 0, 40, 1024}},
                 {1, {0, -11, 1280, 2}, {0, 0, 1280, 13}},
                 {2, {1278, 0, 1318, 1024}, {1240, 0, 1280, 1024}},
                 {3, {0, 1022, 1280, 1035}, {0, 1011, 1280, 1024}}};
    for (const auto& c : cases) {
        bar.setEdge(c.edge);
        bar.SetShown(false);
        EXPECT_EQ(windowRect(), c.hidden) << c.edge;
        bar.SetShown(true);
        EXPECT_EQ(windowRect(), c.shown) << c.edge;
    }
}

TEST_F(AutoHideTest, BarsWithoutAutoHideOrEdgeNeverMove) {
    dockOnTop();
    desktop.failingCall = "GetMessagePos"; // the timer's tick has no need of the pointer
    EXPECT_NO_THROW(bar.OnTimer());
    desktop.failingCall.clear();
    bar.SetShown(false);
    EXPECT_TRUE(bar.BarShown());
    EXPECT_EQ(windowRect(), (Rect{0, 0, 1280, 13}));

    bar.setAutoHide(true);
    bar.setEdge(5);
    const Rect floating = windowRect();
    desktop.calls.clear();
    bar.SetShown(false);
    EXPECT_EQ(windowRect(), floating);
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_TRUE(bar.BarShown());

    bar.setEdge(4);
    desktop.calls.clear();
    bar.SetShown(false);
    EXPECT_TRUE(desktop.calls.empty());
}

} // namespace
} // namespace quill::testing
