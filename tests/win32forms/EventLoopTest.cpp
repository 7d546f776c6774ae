#include "Win32World.h"
#include "forms/Scheduler.h"
#include "forms/Timer.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>
#include <wtsapi32.h>

namespace quill::testing {
namespace {

class EventLoopTest : public Win32World {
protected:
    forms::Form form{app, "bar", "Bar", 3000, 900};
};

TEST_F(EventLoopTest, TheClockIsMonotonicAndStepsInWholeTimerTicks) {
    double last = backend.now();
    const ULONGLONG end = GetTickCount64() + 100;
    while (GetTickCount64() < end) {
        const double now = backend.now();
        EXPECT_GE(now, last);
        EXPECT_EQ(now, std::floor(now / forms::Scheduler::kShortestPeriod) *
                           forms::Scheduler::kShortestPeriod);
        last = now;
    }
    EXPECT_GT(last, 0.0);
}

TEST_F(EventLoopTest, TimersOfTheSamePeriodTickInCreationOrderThroughTheRealWakeUp) {
    std::string ticks;
    forms::Timer first(form, "first", 30, false);
    forms::Timer second(form, "second", 30, false);
    first.onTimer = [&] { ticks += 'a'; };
    second.onTimer = [&] { ticks += 'b'; };
    first.setEnabled(true);
    second.setEnabled(true);
    const double start = backend.now();

    ASSERT_TRUE(waitUntil([&] { return ticks.size() >= 6; })) << ticks;
    EXPECT_EQ(ticks.substr(0, 6), "ababab");
    // Three periods must have passed: a wake-up never runs a timer early.
    EXPECT_GE(backend.now() - start, 3 * 30 - forms::Scheduler::kShortestPeriod);
}

// The strip's pace: a timer of the shortest period ticks once a clock tick, never early and
// seldom late; then a slower timer alone wakes the thread at its own pace.
TEST_F(EventLoopTest, AShortestPeriodTimerKeepsTheClocksPaceAndASlowerOneItsOwn) {
    constexpr double kTick = forms::Scheduler::kShortestPeriod;
    std::vector<double> at;
    forms::Timer fast(form, "fast", 1, false);
    fast.onTimer = [&] { at.push_back(backend.now()); };
    fast.setEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return at.size() >= 41; }));
    fast.setEnabled(false);
    // A wait runs every tick that comes due in it: the count may have passed 41.
    const std::size_t ticked = at.size();
    int gaps = 0;
    // Never early: a tick keeps the clock's phase, so one after a late tick may follow it
    // closely, but no tick comes before its place on the clock's grid (the first may be late
    // by less than a tick).
    for (std::size_t i = 1; i < at.size(); ++i) {
        EXPECT_GE(at[i] - at[0], static_cast<double>(i - 1) * kTick) << "tick " << i;
        gaps += at[i] - at[i - 1] > kTick ? 1 : 0;
    }
    // A busy machine delays a few; a wake-up slower than the clock misses every other.
    EXPECT_LE(gaps * 4, static_cast<int>(at.size()) - 1) << gaps << " gaps";

    std::vector<double> slowAt;
    forms::Timer slow(form, "slow", 100, true);
    slow.onTimer = [&] { slowAt.push_back(backend.now()); };
    ASSERT_TRUE(waitUntil([&] { return slowAt.size() >= 3; }));
    EXPECT_GE(slowAt[2] - slowAt[1], 100 - kTick);
    EXPECT_EQ(at.size(), ticked) << "a stopped timer ticked";
}

TEST_F(EventLoopTest, AnEarlierTimerReplacesTheWakeUpOfALaterOne) {
    int slow = 0, fast = 0;
    forms::Timer slowTimer(form, "slow", 5000, true);
    slowTimer.onTimer = [&] { ++slow; };
    forms::Timer fastTimer(form, "fast", 20, true);
    fastTimer.onTimer = [&] { ++fast; };

    ASSERT_TRUE(waitUntil([&] { return fast >= 5; }));
    EXPECT_EQ(slow, 0);
}

TEST_F(EventLoopTest, ATimerStoppedByAnotherOnTheSameTickDoesNotTick) {
    int stopped = 0, stopper = 0;
    forms::Timer first(form, "first", 40, true);
    forms::Timer second(form, "second", 40, true);
    first.onTimer = [&] {
        ++stopper;
        second.setEnabled(false);
    };
    second.onTimer = [&] { ++stopped; };

    ASSERT_TRUE(waitUntil([&] { return stopper >= 3; }));
    EXPECT_EQ(stopped, 0);
}

TEST_F(EventLoopTest, AThrowingHandlerDoesNotStopTheOtherTimers) {
    int ticks = 0;
    forms::Timer thrower(form, "thrower", 20, true);
    thrower.onTimer = [] { throw std::runtime_error("handler failed"); };
    forms::Timer counter(form, "counter", 20, true);
    counter.onTimer = [&] { ++ticks; };

    EXPECT_TRUE(waitUntil([&] { return ticks >= 3; }));
}

TEST_F(EventLoopTest, AWaitEndsAtInputOrAtTheEndOfTheProgramButNotAtATimerTick) {
    int ticks = 0;
    forms::Timer timer(form, "timer", 20, true);
    timer.onTimer = [&] { ++ticks; };
    ULONGLONG start = GetTickCount64();
    backend.waitForEvents(200);
    EXPECT_GE(GetTickCount64() - start, 190u);
    EXPECT_GE(ticks, 3) << "the timers tick inside the wait";

    PostMessageW(toHwnd(form.hwnd()), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    start = GetTickCount64();
    backend.waitForEvents(5000);
    EXPECT_LT(GetTickCount64() - start, 2000u);

    PostQuitMessage(3);
    start = GetTickCount64();
    backend.waitForEvents(5000);
    EXPECT_LT(GetTickCount64() - start, 2000u);
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit is left for the outer loop";
    EXPECT_EQ(quit.wParam, 3u);
}

TEST_F(EventLoopTest, TimersTickWhileAMessageBoxIsOpen) {
    const std::wstring caption = L"Z\u00fcrich \u2013 \u010capek";
    int ticks = 0;
    std::wstring text;
    forms::Timer user(form, "user", 20, true);
    user.onTimer = [&] {
        if (++ticks < 3) {
            return;
        }
        // The user reads the box, then presses OK.
        if (HWND box = FindWindowW(L"#32770", caption.c_str())) {
            wchar_t shown[64]{};
            GetDlgItemTextW(box, 0xFFFF, shown, 64);
            text = shown;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        } else if (ticks > 100) { // not found under its caption: close whatever box, and fail
            PostMessageW(FindWindowW(L"#32770", nullptr), WM_COMMAND, IDOK, 0);
        }
    };
    const int answer = app.messageBox(form.hwnd(), "Feed \u00e9chou\u00e9",
                                      "Z\u00fcrich \u2013 \u010capek", MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(answer, IDOK);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(text, L"Feed \u00e9chou\u00e9");
}

// Wine shows neither a locked session nor a sleeping display: the messages Windows sends then
// are sent here by hand.
TEST_F(EventLoopTest, ALockedSessionOrADisplayOffLeavesTheFormUnseenUntilBothAreBack) {
    POWERBROADCAST_SETTING display{
        {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, 1, {0}};
    const auto lparam = reinterpret_cast<LPARAM>(&display);
    // Message, its wParam, the display's state (0 off, 1 on, 2 dimmed) and what the form says.
    const std::tuple<UINT, WPARAM, UCHAR, bool> steps[] = {
        {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0, false},
        {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, false},
        {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0, false}, // the display is still off
        {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 2, true},
        {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, false},
        {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 1, true},
    };
    for (const auto& [message, wParam, state, seen] : steps) {
        display.Data[0] = state;
        SendMessageW(toHwnd(form.hwnd()), message, wParam, lparam);
        EXPECT_EQ(form.seen(), seen) << "after message " << message << " " << int{state};
    }
}

// Wine tells no one when the foreground changes: the form learns of the full-screen window when
// it goes to the bottom, as the app bar sends it when the shell reports one.
TEST_F(EventLoopTest, AFullScreenWindowInFrontLeavesTheFormUnseenUntilItGoes) {
    show(form);
    const HWND bar = toHwnd(form.hwnd());
    for (const HWND place : {HWND_BOTTOM, HWND_TOPMOST}) {
        HWND video = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(waitUntil([&] {
            SetForegroundWindow(video);
            return GetForegroundWindow() == video;
        }));
        SetWindowPos(bar, place, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (place == HWND_TOPMOST) {
            EXPECT_FALSE(waitUntil([&] { return !form.seen(); })) << "kept above, yet unseen";
        } else {
            EXPECT_TRUE(waitUntil([&] { return !form.seen(); }));
        }
        DestroyWindow(video);
        EXPECT_TRUE(waitUntil([&] { return form.seen(); }));
    }
}

} // namespace
} // namespace quill::testing
