#include "feeds/Form2.h"
#include "support/ProgramFixture.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

constexpr double kMinute = 60000;
constexpr double kRunTime = 5000; // every refresh run keeps the thread busy this long

struct ScheduleTest : ProgramFixture, ::testing::Test {
    std::vector<double> runStarts; // one fetch per run: the links file lists one feed

    void startWithInterval(const std::string& interval) {
        writeLinks({interval, "True", serveFeed("a", {"one", "two"})});
        http.onFetch = [this](const std::string&) {
            runStarts.push_back(world.backend.now());
            world.backend.spend(kRunTime);
        };
        start();
    }
    std::vector<double> reloads() const {
        return {runStarts.begin() + (runStarts.empty() ? 0 : 1), runStarts.end()};
    }
};

TEST_F(ScheduleTest, TheBarShowsAfterHalfASecondAndTheFirstLoadFollows) {
    startWithInterval("20");
    world.backend.advance(499);
    EXPECT_FALSE(form1->visible());
    world.backend.advance(1);
    EXPECT_TRUE(form1->visible());
    EXPECT_TRUE(runStarts.empty());
    world.backend.advance(100);
    ASSERT_EQ(runStarts, std::vector<double>{600});
    EXPECT_FALSE(form1->Picture13.visible()); // the notice goes with the first load
    EXPECT_FALSE(form1->Timer3.enabled());
    EXPECT_FALSE(form1->Timer5.enabled());
}

TEST_F(ScheduleTest, TwentyMinutesReloadsAtMinute19ThenEvery21AfterTheEndOfTheLast) {
    startWithInterval("20");
    world.backend.advance(60 * kMinute);
    const double first = 19 * kMinute;
    const double second = first + kRunTime + 21 * kMinute;
    EXPECT_EQ(reloads(), (std::vector<double>{first, second}));
}

TEST_F(ScheduleTest, TheFirstMinuteTicksTwice) {
    startWithInterval("20");
    world.backend.advance(kMinute);
    EXPECT_EQ(form1->MinuteCount, 2);
    EXPECT_FALSE(form1->Timer8.enabled() && form1->Timer9.enabled());
    world.backend.advance(kMinute);
    EXPECT_EQ(form1->MinuteCount, 3);
}

TEST_F(ScheduleTest, IntervalOneReloadsAfterOneMinuteThenTwoMinutesAfterEachEnd) {
    startWithInterval("1");
    world.backend.advance(5 * kMinute);
    const double first = kMinute;
    const double second = first + kRunTime + kMinute;
    const double third = second + kRunTime + 2 * kMinute;
    EXPECT_EQ(reloads(), (std::vector<double>{first, second, third}));
}

TEST_F(ScheduleTest, IntervalTextsThatNeverMatchNeverReload) {
    for (const std::string interval : {"0", "020", " 20", "20 ", "2O", "", "abc", "-5"}) {
        ProgramFixture program;
        std::vector<double> starts;
        program.writeLinks({interval, "True", program.serveFeed("a", {"one"})});
        program.http.onFetch = [&](const std::string&) {
            starts.push_back(program.world.backend.now());
        };
        program.start();
        program.world.backend.advance(90 * kMinute);
        EXPECT_EQ(starts.size(), 1u) << "interval \"" << interval << "\"";
        EXPECT_EQ(program.form1->MinuteCount, 91);
    }
}

TEST_F(ScheduleTest, LoweringTheIntervalBelowTheCountStopsReloadsAndRaisingItMovesThem) {
    startWithInterval("20");
    world.backend.advance(11 * kMinute); // the count stands at 12
    form1->Label15.setCaption("5");
    world.backend.advance(60 * kMinute);
    EXPECT_TRUE(reloads().empty());

    ProgramFixture raised;
    std::vector<double> starts;
    raised.writeLinks({"20", "True", raised.serveFeed("a", {"one"})});
    raised.http.onFetch = [&](const std::string&) { starts.push_back(raised.world.backend.now()); };
    raised.start();
    raised.world.backend.advance(11 * kMinute);
    raised.form1->Label15.setCaption("30");
    raised.world.backend.advance(30 * kMinute);
    EXPECT_EQ(starts, (std::vector<double>{600, 29 * kMinute}));
}

TEST_F(ScheduleTest, TheNoticeIsPaintedBeforeAReloadAndTheStripStandsStillDuringIt) {
    startWithInterval("2");
    // The first load blocks too: the notice is on screen before it starts.
    bool noticeShownDuringFirstLoad = false;
    http.onFetch = [&](const std::string&) {
        noticeShownDuringFirstLoad = form1->Picture13.visible() &&
                                     world.backend.repaints["Picture13"] == 1 &&
                                     world.backend.repaints["Label10"] == 1;
    };
    world.backend.advance(kMinute - 100); // first load done, strip running
    EXPECT_TRUE(noticeShownDuringFirstLoad);
    bool noticeShownDuringRun = false;
    float holderAtStart = 0;
    http.onFetch = [&](const std::string&) {
        noticeShownDuringRun = form1->Picture13.visible() && form1->Label10.visible() &&
                               world.backend.repaints["Picture13"] == 2 &&
                               world.backend.repaints["Label10"] == 2;
        holderAtStart = form1->Picture1.left();
        world.backend.spend(kRunTime);
        EXPECT_EQ(form1->Picture1.left(), holderAtStart);
    };
    world.backend.advance(2 * kMinute);
    EXPECT_TRUE(noticeShownDuringRun);
    EXPECT_FALSE(form1->Picture13.visible());
    EXPECT_FALSE(form1->Label10.visible());
}

TEST_F(ScheduleTest, ARunDuringAnotherRunsMessageBoxIsSkipped) {
    // A feed without a third field asks the user; meanwhile the minute timers keep ticking.
    writeLinks({"1", "True", "http://feeds.test/broken"});
    http.bodies["http://feeds.test/broken"] = "<html><title>Oops</title></html>";
    int fetches = 0;
    http.onFetch = [&](const std::string&) { ++fetches; };
    world.backend.onMessageBox = [&](const HeadlessBackend::Box&) {
        world.backend.advance(3 * kMinute); // the user leaves the box open
        return 1;
    };
    start();
    world.backend.advance(1000);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(world.backend.boxes.size(), 1u);
    // The page's one field makes a whole triple of its own.
    EXPECT_EQ(form1->List1.items(), (std::vector<std::string>{"Oops", "", "", "end"}));
}

} // namespace
} // namespace quill::testing
