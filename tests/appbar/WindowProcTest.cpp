#include "AppBarFixture.h"
#include "appbar/SizeMoveCodes.h"

#include <stdexcept>

namespace quill::testing {
namespace {

using namespace platform;

struct WindowProcTest : AppBarTest {
    LResult send(std::uint32_t message, WParam wParam = 0, LParam lParam = 0) {
        return desktop.SendMessage(form.hwnd(), message, wParam, lParam);
    }
    template <class Record> LResult sendWith(std::uint32_t message, WParam wParam, Record& record) {
        return send(message, wParam, reinterpret_cast<LParam>(&record));
    }
};

TEST_F(WindowProcTest, TheBarsOwnMessagesNeverReachTheForm) {
    dockOnTop();
    MinMaxInfo info;
    Rect proposed{0, 0, 1280, 20};
    EXPECT_EQ(sendWith(WM_GETMINMAXINFO, 0, info), 0);
    EXPECT_EQ(sendWith(WM_SIZING, appbar::WMSZ_BOTTOM, proposed), 0);
    EXPECT_EQ(send(WM_ENTERSIZEMOVE), 0);
    EXPECT_EQ(sendWith(WM_MOVING, 0, proposed), 0);
    EXPECT_EQ(send(WM_EXITSIZEMOVE), 0);
    EXPECT_EQ(send(appbar::AppBarCallbackMessage, ABN_STATECHANGE, 0), 0);
    for (const std::uint32_t message : {WM_GETMINMAXINFO, WM_SIZING, WM_ENTERSIZEMOVE, WM_MOVING,
                                        WM_EXITSIZEMOVE, appbar::AppBarCallbackMessage}) {
        EXPECT_FALSE(reachedOwnProc(message)) << message;
    }
}

TEST_F(WindowProcTest, TimerAndFrameMouseMovesReachTheFormAfterTheBar) {
    dockOnTop();
    send(WM_TIMER, appbar::AutoHideTimerId);
    send(WM_NCMOUSEMOVE);
    EXPECT_EQ(desktop.ownProcMessages, (std::vector<std::uint32_t>{WM_TIMER, WM_NCMOUSEMOVE}));
}

TEST_F(WindowProcTest, ActivationAndMovesReachTheFormFirstThenTheShell) {
    dockOnTop();
    send(WM_ACTIVATE, 1);
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{
                                 "OwnProc 0x6", "SHAppBarMessage 6 edge=5 lParam=0 rc=(0,0,0,0)"}));
    desktop.calls.clear();
    send(WM_WINDOWPOSCHANGED);
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{"OwnProc 0x47",
                                        "SHAppBarMessage 9 edge=5 lParam=0 rc=(0,0,0,0)"}));
}

TEST_F(WindowProcTest, HitTestingActsOnTheFormsAnswer) {
    dockOnTop();                    // (0, 0)-(1280, 13): only the lower border sizes
    desktop.ownNcHitTestResult = 1; // HTCLIENT stays
    EXPECT_EQ(send(WM_NCHITTEST, 0, static_cast<LParam>(packPoint(5, 5))), 1);
    EXPECT_TRUE(reachedOwnProc(WM_NCHITTEST));
    desktop.ownNcHitTestResult = appbar::HTTOP;
    EXPECT_EQ(send(WM_NCHITTEST, 0, static_cast<LParam>(packPoint(5, 0))), appbar::HTBORDER);
    desktop.ownNcHitTestResult = appbar::HTBOTTOM;
    EXPECT_EQ(send(WM_NCHITTEST, 0, static_cast<LParam>(packPoint(5, 14))), appbar::HTBOTTOM);
}

TEST_F(WindowProcTest, StateChangeAndWindowArrangeChangeNothing) {
    dockOnTop();
    const Rect before = windowRect();
    desktop.notifyBars(ABN_STATECHANGE, 0);
    desktop.notifyBars(ABN_WINDOWARRANGE, 1);
    desktop.notifyBars(7, 1);
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(windowRect(), before);
}

TEST_F(WindowProcTest, PositionChangesReDockOnlyABarThatReservesSpace) {
    dockOnTop();
    desktop.addForeignBar(ABE_TOP, {0, 0, 1280, 30});
    desktop.notifyBars(ABN_POSCHANGED, 0);
    EXPECT_EQ(windowRect(), (Rect{0, 30, 1280, 43}));

    bar.setFloatLeft(10);
    bar.setFloatTop(500);
    bar.setFloatRight(300);
    bar.setFloatBottom(540);
    bar.setEdge(5);
    desktop.calls.clear();
    desktop.notifyBars(ABN_POSCHANGED, 0);
    EXPECT_TRUE(desktop.calls.empty());

    bar.setEdge(3);
    bar.setAutoHide(true);
    desktop.calls.clear();
    desktop.notifyBars(ABN_POSCHANGED, 0);
    EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(WindowProcTest, AFailingBarLeavesTheMessageToTheForm) {
    dockOnTop();
    // A window rectangle too wide for 32-bit arithmetic: the slide fails with an overflow.
    window().rect = {-2000000000, 0, 2000000000, 13};
    window().visible = true;
    EXPECT_THROW(bar.UpdateBar(), std::overflow_error);

    desktop.ownProcMessages.clear();
    EXPECT_NO_THROW(desktop.notifyBars(ABN_POSCHANGED, 0));
    EXPECT_TRUE(reachedOwnProc(appbar::AppBarCallbackMessage));
}

TEST_F(WindowProcTest, AFailureAfterTheFormsProcessingKeepsTheFormsResult) {
    dockOnTop();
    desktop.failingCall = "SHAppBarMessage";
    EXPECT_NO_THROW(EXPECT_EQ(send(WM_ACTIVATE, 0), 0));
    EXPECT_TRUE(reachedOwnProc(WM_ACTIVATE));

    desktop.failingCall = "GetClientRect";
    desktop.ownNcHitTestResult = appbar::HTTOP;
    LResult hit = 0;
    EXPECT_NO_THROW(hit = send(WM_NCHITTEST, 0, static_cast<LParam>(packPoint(5, 0))));
    EXPECT_EQ(hit, appbar::HTTOP);

    desktop.failingCall = "CallWindowProc";
    EXPECT_NO_THROW(EXPECT_EQ(send(WM_TIMER, appbar::AutoHideTimerId), 0));
}

TEST_F(WindowProcTest, AMissingRecordIsNotTouched) {
    dockOnTop();
    EXPECT_NO_THROW(send(WM_GETMINMAXINFO, 0, 0));
    EXPECT_NO_THROW(send(WM_MOVING, 0, 0));
    EXPECT_TRUE(reachedOwnProc(WM_MOVING));
}

} // namespace
} // namespace quill::testing
