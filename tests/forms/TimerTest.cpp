#include "forms/Timer.h"

#include "forms/Form.h"
#include "support/HeadlessBackend.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quill::testing {
namespace {

struct TimerTest : ::testing::Test {
    HeadlessWorld world;
    forms::Form form{world.app, "Form", "Form", 4800, 3600};
    std::vector<std::string> ticks;

    void record(forms::Timer& timer) {
        timer.onTimer = [this, &timer] {
            ticks.push_back(timer.name() + "@" + std::to_string(world.backend.now()));
        };
    }
};

TEST_F(TimerTest, EnableStartsAFullPeriodAndReEnableKeepsIt) {
    forms::Timer timer(form, "T", 100, false);
    record(timer);
    world.backend.advance(250);
    EXPECT_TRUE(ticks.empty());

    timer.setEnabled(true); // at 250: due at 350
    world.backend.advance(60);
    timer.setEnabled(true); // already running: still due at 350
    world.backend.advance(40);
    ASSERT_EQ(ticks, (std::vector<std::string>{"T@350.000000"}));
}

TEST_F(TimerTest, DisableDiscardsThePeriodInProgress) {
    forms::Timer timer(form, "T", 100, true);
    record(timer);
    world.backend.advance(90);
    timer.setEnabled(false);
    world.backend.advance(50);
    timer.setEnabled(true); // at 140: a full period again
    world.backend.advance(99);
    EXPECT_TRUE(ticks.empty());
    world.backend.advance(1);
    EXPECT_EQ(ticks, (std::vector<std::string>{"T@240.000000"}));
}

TEST_F(TimerTest, AHeldTimerNeitherTicksNorCountsAndReleasedStartsAFullPeriod) {
    forms::Timer timer(form, "T", 100, true);
    forms::Timer stopped(form, "S", 100, false);
    record(timer);
    record(stopped);
    world.backend.advance(50);
    timer.setHeld(true);
    stopped.setHeld(true);
    stopped.setEnabled(true); // enabled while held: it waits for the release
    world.backend.advance(1000);
    EXPECT_TRUE(ticks.empty());
    timer.setHeld(false); // at 1050: due at 1150, nothing owed for the periods held
    stopped.setHeld(false);
    world.backend.advance(100);
    EXPECT_EQ(ticks, (std::vector<std::string>{"T@1150.000000", "S@1150.000000"}));
}

TEST_F(TimerTest, ABusyThreadGivesOneLateTickAndKeepsThePhase) {
    forms::Timer timer(form, "T", 100, true);
    record(timer);
    world.backend.spend(350); // three periods pass while the thread is busy
    world.backend.pumpEvents();
    world.backend.advance(50);
    EXPECT_EQ(ticks, (std::vector<std::string>{"T@350.000000", "T@400.000000"}));
}

TEST_F(TimerTest, TimersDueTogetherTickInCreationOrder) {
    forms::Timer second(form, "B", 60000, true);
    forms::Timer first(form, "A", 60000, true);
    record(first);
    record(second);
    world.backend.advance(60000);
    EXPECT_EQ(ticks, (std::vector<std::string>{"B@60000.000000", "A@60000.000000"}));
}

TEST_F(TimerTest, IntervalsShorterThanTheClockTickAreRaisedToIt) {
    forms::Timer timer(form, "T", 1, true);
    int count = 0;
    timer.onTimer = [&] { ++count; };
    world.backend.advance(1000);
    EXPECT_EQ(count, 64); // 1/64 s a tick, so the strip moves at the same speed everywhere
}

TEST_F(TimerTest, AHandlerThatPumpsEventsIsNotReenteredByItsOwnTimer) {
    forms::Timer pumping(form, "P", 100, true);
    forms::Timer other(form, "O", 30, true);
    int pumpingTicks = 0, otherTicks = 0;
    other.onTimer = [&] { ++otherTicks; };
    pumping.onTimer = [&] {
        ++pumpingTicks;
        for (int i = 0; i < 10; ++i) {
            world.backend.waitForEvents(50); // a modal loop: other timers go on
        }
    };
    world.backend.advance(100);
    EXPECT_EQ(pumpingTicks, 1);
    EXPECT_GE(otherTicks, 15);
}

} // namespace
} // namespace quill::testing
