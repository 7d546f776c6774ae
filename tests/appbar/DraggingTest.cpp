#include "AppBarFixture.h"
#include "appbar/SizeMoveCodes.h"

namespace quill::testing {
namespace {

using namespace platform;
using namespace appbar;

struct DraggingTest : AppBarTest {
    void SetUp() override {
        dockOnTop();
        bar.setFloatLeft(100);
        bar.setFloatTop(100);
        bar.setFloatRight(500);
        bar.setFloatBottom(200);
    }
    void beginDrag() { desktop.SendMessage(form.hwnd(), WM_ENTERSIZEMOVE, 0, 0); }
    void endDrag() { desktop.SendMessage(form.hwnd(), WM_EXITSIZEMOVE, 0, 0); }
    // The pointer moves to (x, y) during the drag; the window follows the rectangle, as a
    // full-window drag does. Returns the rectangle the bar asked for.
    Rect dragTo(int x, int y) {
        desktop.messagePos = packPoint(x, y);
        Rect rect = windowRect();
        desktop.SendMessage(form.hwnd(), WM_MOVING, 0, reinterpret_cast<LParam>(&rect));
        window().rect = rect;
        return rect;
    }
    Rect sizing(WParam side, Rect rect) {
        desktop.SendMessage(form.hwnd(), WM_SIZING, side, reinterpret_cast<LParam>(&rect));
        return rect;
    }
    LResult hitTest(LResult formsAnswer, int x, int y) {
        desktop.ownNcHitTestResult = formsAnswer;
        return desktop.SendMessage(form.hwnd(), WM_NCHITTEST, 0,
                                   static_cast<LParam>(packPoint(x, y)));
    }
    bool hasCaption() { return (window().style & WS_CAPTION) != 0; }
};

TEST_F(DraggingTest, PullingTheBarIntoTheMiddleFloatsItAtTheStoredSize) {
    beginDrag();
    EXPECT_EQ(bar.DragEdge(), 1);
    // Centred horizontally on the pointer, its top at the pointer.
    EXPECT_EQ(dragTo(640, 512), (Rect{440, 512, 840, 612}));
    EXPECT_EQ(bar.DragEdge(), 5);
    EXPECT_EQ(bar.Edge(), 5);
    EXPECT_TRUE(hasCaption()); // shown during the drag

    endDrag();
    EXPECT_EQ(bar.DragEdge(), 4);
    EXPECT_EQ(bar.Edge(), 5);
    EXPECT_EQ(bar.FloatLeft(), 440);
    EXPECT_EQ(bar.FloatTop(), 512);
    EXPECT_EQ(bar.FloatRight(), 840);
    EXPECT_EQ(bar.FloatBottom(), 612);
    EXPECT_EQ(windowRect(), (Rect{440, 512, 840, 612}));
    EXPECT_EQ(desktop.reserved.count(form.hwnd()), 0u);
}

TEST_F(DraggingTest, WithoutFloatingTheBarSnapsToTheNearestAllowedEdge) {
    bar.setAllowedEdges(AllowLeft | AllowRight | AllowTop | AllowBottom);
    beginDrag();
    EXPECT_EQ(dragTo(640, 400), (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(bar.DragEdge(), 1);
    // The centre is a tie, which goes to the right.
    EXPECT_EQ(dragTo(640, 512), (Rect{1280 - 32, 0, 1280, 1024}));
    EXPECT_EQ(bar.DragEdge(), 2);
    EXPECT_FALSE(hasCaption());
    dragTo(600, 1000);
    EXPECT_EQ(bar.DragEdge(), 3);
    EXPECT_EQ(dragTo(10, 500).left, 0);
    EXPECT_EQ(bar.DragEdge(), 0);
}

TEST_F(DraggingTest, ControlForcesFloatingOnlyWhereFloatingIsAllowed) {
    desktop.controlKeyState = static_cast<std::int16_t>(0x8000);
    beginDrag();
    dragTo(640, 5);
    EXPECT_EQ(bar.DragEdge(), 5);

    bar.setAllowedEdges(AllowLeft | AllowRight | AllowTop | AllowBottom);
    dragTo(640, 5);
    EXPECT_EQ(bar.DragEdge(), 1);
}

TEST_F(DraggingTest, AnEdgeThatIsNotAllowedKeepsTheStoredEdge) {
    bar.setAllowedEdges(AllowTop | AllowBottom);
    beginDrag();
    dragTo(600, 1000);
    EXPECT_EQ(bar.DragEdge(), 3);
    dragTo(10, 512); // nearest the left edge
    EXPECT_EQ(bar.DragEdge(), 1) << "the stored edge, not the one proposed last";
}

TEST_F(DraggingTest, EndingOnTheSameEdgeRecordsTheNewThickness) {
    beginDrag();
    EXPECT_EQ(sizing(WMSZ_BOTTOM, {0, 0, 1280, 20}), (Rect{0, 0, 1280, 20}));
    window().rect = {0, 0, 1280, 20};
    endDrag();
    EXPECT_EQ(bar.DockedHeight(), 20);
    EXPECT_EQ(bar.Edge(), 1);
    EXPECT_EQ(desktop.reserved.at(form.hwnd()), (Rect{0, 0, 1280, 20}));
}

TEST_F(DraggingTest, DroppingAFloatingBarOnAnEdgeDocksIt) {
    bar.setEdge(5);
    beginDrag();
    dragTo(640, 1010);
    EXPECT_EQ(bar.DragEdge(), 3);
    endDrag();
    EXPECT_EQ(bar.Edge(), 3);
    EXPECT_EQ(windowRect(), (Rect{0, 1024 - 13, 1280, 1024}));
    EXPECT_FALSE(hasCaption());
}

TEST_F(DraggingTest, ABarThatStillFillsTheWidthTakesTheStoredFloatingSize) {
    desktop.dragFullWindows = false; // an outline drag: the window stays until the end
    beginDrag();
    dragTo(640, 512);
    EXPECT_FALSE(hasCaption());
    window().rect = {0, 500, 1280, 513};
    endDrag();
    EXPECT_EQ(bar.FloatLeft(), 0);
    EXPECT_EQ(bar.FloatTop(), 500);
    EXPECT_EQ(bar.FloatRight(), 400);
    EXPECT_EQ(bar.FloatBottom(), 600);
    EXPECT_EQ(windowRect(), (Rect{0, 500, 400, 600}));
    EXPECT_TRUE(hasCaption());
}

TEST_F(DraggingTest, SizesSnapToWholeStepsAboveTheMinimum) {
    bar.setHorzSizeInc(10);
    EXPECT_EQ(sizing(WMSZ_RIGHT, {0, 0, 34, 100}).right, 30);
    EXPECT_EQ(sizing(WMSZ_RIGHT, {0, 0, 35, 100}).right, 40);
    EXPECT_EQ(sizing(WMSZ_LEFT, {100, 0, 134, 100}).left, 104);
    bar.setDockedMinWidth(5);
    EXPECT_EQ(sizing(WMSZ_RIGHT, {0, 0, 34, 100}).right, 35);

    bar.setVertSizeInc(0);
    EXPECT_EQ(sizing(WMSZ_TOPLEFT, {100, 50, 134, 77}), (Rect{99, 50, 134, 77}));
    bar.setVertSizeInc(4);
    EXPECT_EQ(sizing(WMSZ_BOTTOMRIGHT, {0, 0, 34, 9}), (Rect{0, 0, 35, 8}));
    EXPECT_EQ(sizing(99, {1, 2, 3, 4}), (Rect{1, 2, 3, 4}));
}

TEST_F(DraggingTest, FloatingMinimaApplyWhileFloating) {
    bar.setEdge(5);
    bar.setHorzSizeInc(10);
    bar.setFloatMinWidth(3);
    EXPECT_EQ(sizing(WMSZ_RIGHT, {0, 0, 34, 100}).right, 33);
}

TEST_F(DraggingTest, TrackingLimitsFollowTheEdge) {
    MinMaxInfo info;
    info.maxSize = {11, 12};
    info.maxPosition = {13, 14};
    bar.setDockedMinWidth(1);
    bar.setDockedMinHeight(2);
    desktop.SendMessage(form.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LParam>(&info));
    EXPECT_EQ(info.minTrackSize, (Point{1, 2}));
    EXPECT_EQ(info.maxTrackSize, (Point{1280, 512}));
    EXPECT_EQ(info.maxSize, (Point{11, 12}));
    EXPECT_EQ(info.maxPosition, (Point{13, 14}));

    bar.setDockedWidth(40);
    bar.setEdge(0);
    desktop.SendMessage(form.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LParam>(&info));
    EXPECT_EQ(info.maxTrackSize, (Point{640, 1024}));

    bar.setEdge(5);
    bar.setFloatMinWidth(50);
    bar.setFloatMinHeight(20);
    desktop.SendMessage(form.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LParam>(&info));
    EXPECT_EQ(info.minTrackSize, (Point{50, 20}));
    EXPECT_EQ(info.maxTrackSize, (Point{1280, 1024}));
}

TEST_F(DraggingTest, ADockedBarSizesOnlyByTheSideFacingTheMiddle) {
    EXPECT_EQ(hitTest(HTTOP, 5, 0), HTBORDER);
    EXPECT_EQ(hitTest(HTLEFT, 0, 5), HTBORDER);
    EXPECT_EQ(hitTest(HTBOTTOM, 5, 14), HTBOTTOM);
    EXPECT_EQ(hitTest(HTBOTTOMRIGHT, 1279, 14), HTBOTTOM);
    EXPECT_EQ(hitTest(HTBOTTOM, 5, 13), HTBORDER) << "on the client's last row";
    EXPECT_EQ(hitTest(HTBORDER + 1, 5, 14), HTBORDER + 1);

    bar.setVertSizeInc(0);
    EXPECT_EQ(hitTest(HTBOTTOM, 5, 14), HTBORDER);

    bar.setDockedWidth(40);
    bar.setEdge(2); // (1240, 0)-(1280, 1024)
    EXPECT_EQ(hitTest(HTLEFT, 1239, 5), HTLEFT);
    EXPECT_EQ(hitTest(HTRIGHT, 1280, 5), HTBORDER);
    bar.setHorzSizeInc(0);
    EXPECT_EQ(hitTest(HTLEFT, 1239, 5), HTBORDER);

    bar.setEdge(4);
    EXPECT_EQ(hitTest(HTTOP, 5, 0), HTTOP);
}

TEST_F(DraggingTest, AFloatingBarLosesTheBordersOfADirectionWithoutSteps) {
    bar.setEdge(5);
    const struct {
        int horz, vert;
        LResult in, out;
    } cases[] = {
        {1, 1, HTTOPLEFT, HTTOPLEFT}, {1, 1, HTLEFT, HTLEFT},
        {1, 0, HTLEFT, HTLEFT},       {1, 0, HTTOP, HTBORDER},
        {1, 0, HTTOPLEFT, HTLEFT},    {1, 0, HTBOTTOMRIGHT, HTRIGHT},
        {0, 1, HTRIGHT, HTBORDER},    {0, 1, HTBOTTOM, HTBOTTOM},
        {0, 1, HTTOPRIGHT, HTTOP},    {0, 1, HTBOTTOMLEFT, HTBOTTOM},
        {0, 0, HTTOPRIGHT, HTBORDER}, {0, 0, HTLEFT, HTBORDER},
        {0, 0, 1 /* client */, 1},
    };
    for (const auto& c : cases) {
        bar.setHorzSizeInc(c.horz);
        bar.setVertSizeInc(c.vert);
        EXPECT_EQ(hitTest(c.in, 200, 150), c.out) << c.horz << c.vert << " " << c.in;
    }
}

} // namespace
} // namespace quill::testing
