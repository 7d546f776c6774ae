#include "BarOnDesktop.h"
#include "GrowthRule.h"
#include "support/ProcessSample.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace quill::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kFeeds = 20;
constexpr int kFailingFeed = 7, kChangingFeed = 15;
constexpr int kSlowFeeds[] = {3, 11};
// Slow, yet well inside the download's stall and whole-download limits.
constexpr auto kSlowAnswer = 3s;
// With the interval "1" a reload starts two minute ticks after the previous run ended (the
// first two sooner); a run that has not begun long after that was missed.
constexpr auto kReloadDeadline = 150s;
constexpr auto kRunDeadline = 60s;

std::string feedPath(int feed) {
    return "/feed" + std::to_string(feed) + ".xml";
}

// How many reloads to watch: QUILL_SOAK_RELOADS, 3 when unset; 0 when it is no count.
int reloadsWanted() {
    const char* text = std::getenv("QUILL_SOAK_RELOADS");
    if (text == nullptr) {
        return 3;
    }
    int reloads = 0;
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), reloads);
    return error == std::errc() && *end == '\0' && reloads > 0 ? reloads : 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kBuiltWithSanitizer = true;
#else
constexpr bool kBuiltWithSanitizer = false;
#endif

struct SoakTest : BarOnDesktopTest {
    // Twenty feeds: most plain, some slow, one that fails every time (and so shows the bad-feed
    // message every run) and one whose items are new at every request.
    std::vector<std::string> serveTwentyFeeds() {
        std::vector<std::string> addresses;
        for (int i = 0; i < kFeeds; ++i) {
            const std::string path = feedPath(i);
            if (i == kFailingFeed) {
                feeds.serve(path, {}, "text/html", 500);
            } else if (i == kChangingFeed) {
                feeds.serveMade(path, [edition = 0]() mutable {
                    return feed("Edition " + std::to_string(++edition), 10);
                });
            } else {
                feeds.serve(path, feed("Desk " + std::to_string(i), 10));
            }
            addresses.push_back(feeds.url(path));
        }
        for (const int slow : kSlowFeeds) {
            feeds.delay(feedPath(slow), kSlowAnswer);
        }
        return addresses;
    }

    bool everyFeedRequested(std::size_t times) {
        for (int i = 0; i < kFeeds; ++i) {
            if (feeds.requestCount(feedPath(i)) < times) {
                return false;
            }
        }
        return true;
    }

    // Answers the program's message boxes as a person would, by closing them.
    void closeMessageBoxes(pid_t pid, xcb_window_t dock) {
        for (const xcb_window_t window : screen->windowsOf(pid)) {
            if (window == dock) {
                continue;
            }
            xcb_client_message_event_t close{};
            close.response_type = XCB_CLIENT_MESSAGE;
            close.format = 32;
            close.window = window;
            close.type = x->atom("WM_PROTOCOLS");
            close.data.data32[0] = x->atom("WM_DELETE_WINDOW");
            close.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(x->raw(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&close));
        }
        x->flush();
    }
};

TEST_F(SoakTest, ReloadsKeepComingWithoutGrowth) {
    const int reloads = reloadsWanted();
    ASSERT_GT(reloads, 0) << "QUILL_SOAK_RELOADS must be a whole number above 0";
    const auto addresses = serveTwentyFeeds();
    const auto start = std::chrono::steady_clock::now();
    auto program = startBar("True", home, addresses, "1");
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    const platform::Rect bar{0, 0, kScreenWidth, kBar};
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(windowComesTo(dock, bar));

    std::vector<ProcessSample> samples;
    std::printf("soak %5s %7s %8s %5s %7s %7s\n", "run", "minute", "rss_kb", "fds", "threads",
                "cpu_s");
    for (int run = 0; run <= reloads; ++run) {
        const auto runs = static_cast<std::size_t>(run) + 1;
        ASSERT_TRUE(eventually([&] { return feeds.requestCount(feedPath(0)) >= runs; },
                               run == 0 ? 30s : kReloadDeadline))
            << "reload " << run << " did not come";
        // A run is over when every feed was asked and the notice has gone.
        ASSERT_TRUE(eventually(
            [&] {
                closeMessageBoxes(program->pid(), dock);
                return everyFeedRequested(runs) && pixelsWhere(bar, isNotice) == 0;
            },
            kRunDeadline))
            << "run " << run << " did not end";
        for (int i = 0; i < kFeeds; ++i) {
            EXPECT_EQ(feeds.requestCount(feedPath(i)), runs) << "feed " << i << " in run " << run;
        }
        EXPECT_TRUE(eventually([&] { return pixelsWhere(headlines, isText) > 40; }))
            << "no headlines after run " << run;
        const auto sample = sampleProcess(program->pid());
        ASSERT_TRUE(sample.has_value()) << "the program is gone after run " << run;
        samples.push_back(*sample);
        const std::chrono::duration<double, std::ratio<60>> minute =
            std::chrono::steady_clock::now() - start;
        std::printf("soak %5d %7.2f %8ld %5d %7d %7.2f\n", run, minute.count(), sample->residentKb,
                    sample->descriptors, sample->threads, sample->processorSeconds);
        std::fflush(stdout);
    }
    for (const std::string& finding : growthBeyondNoise(samples, !kBuiltWithSanitizer)) {
        ADD_FAILURE() << finding;
    }
    EXPECT_TRUE(program->running());
}

} // namespace
} // namespace quill::testing
