#include "BarOnDesktop.h"
#include "support/ProcessSample.h"
#include "support/RawReplyServer.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>
#include <vector>

namespace quill::testing {
namespace {

using namespace std::chrono_literals;

// Headlines whose own link names them, so a click shows which item it reached. The second
// item has no description: read by position, every later item's link would be its description.
std::string linkedFeed(const std::string& name, const std::string& firstTitle) {
    std::string body = "<rss><channel><title>" + name + "</title><link>http://127.0.0.1/" + name +
                       "/</link><description>d</description>";
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        body += "<item><title>" + (i == 1 ? firstTitle : name + " story " + n) +
                "</title><link>http://127.0.0.1/" + name + "/" + n + "</link>" +
                (i == 2 ? "" : "<description>About " + n + "</description>") + "</item>";
    }
    return body + "</channel></rss>";
}

struct BarUnderStressTest : BarOnDesktopTest {
    platform::Rect barRect(xcb_window_t dock) {
        return x->screenRect(dock).value_or(platform::Rect{});
    }

    // Whether the picture in rect changes within 300 ms, in which the strip moves 15 pixels.
    bool changes(const platform::Rect& rect) {
        const std::vector<Pixel> before = screen->grab(rect);
        std::this_thread::sleep_for(300ms);
        return before != screen->grab(rect);
    }

    // A headline's first letter stands within a few pixels right of `column`, with the gap
    // between headlines before it.
    bool headlineStartsAt(int column) {
        constexpr int kGap = 20, kSlack = 8;
        const platform::Rect area{column - kGap, 0, column + kSlack, kBar};
        const std::vector<Pixel> pixels = screen->grab(area);
        std::vector<bool> text(static_cast<std::size_t>(area.width()), false);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            text[i % text.size()] = text[i % text.size()] || isText(pixels[i]);
        }
        const auto first = std::find(text.begin(), text.end(), true);
        return first != text.end() && first - text.begin() >= kGap;
    }
};

TEST_F(BarUnderStressTest, TheNoticeShowsDuringEveryFirstLoad) {
    // A feed that never answers keeps the first load blocked while the bar is looked at.
    RawReplyServer silent;
    int shown = 0;
    constexpr int kStarts = 20;
    for (int start = 0; start < kStarts; ++start) {
        TempFolder folder;
        auto program = startBar(start % 2 ? "True" : "False", folder, {silent.url("/feed")});
        const xcb_window_t dock = waitForDock(*program);
        ASSERT_NE(dock, 0u);
        // Wait until the load has begun, so that what is on screen is what it blocks on.
        if (eventually([&] { return pixelsWhere(barRect(dock), isNotice) > 20; }, 5s)) {
            ++shown;
        }
        program->stop(SIGKILL);
    }
    EXPECT_EQ(shown, kStarts);
}

TEST_F(BarUnderStressTest, AnEndlessTrickleIsCutAndTheNextFeedStillShows) {
    // A channel heading first, so the cut feed has fields to show and no message to wait on.
    RawReplyServer trickling("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<rss><channel>"
                             "<title>Slow</title><link>http://127.0.0.1/</link>"
                             "<description>d</description><!--",
                             RawReplyServer::Then::Trickle);
    const auto start = std::chrono::steady_clock::now();
    auto program = startBar("True", home, {trickling.url("/slow.xml"), feeds.url("/world.xml")});
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(eventually([&] { return feeds.requestCount() >= 1; }, 45s))
        << "the second feed was never fetched";
    const auto fetched = std::chrono::steady_clock::now() - start;
    EXPECT_LT(fetched, 40s);
    EXPECT_TRUE(eventually([&] { return pixelsWhere(headlines, isText) > 40; }))
        << "no headline text after the trickle was cut";
    EXPECT_TRUE(program->running());
}

TEST_F(BarUnderStressTest, AWholePageInOneTitleTakesNoMoreMemoryThanAnOrdinaryTitle) {
    // Resident memory once the feed's heading has moved 300 pixels in, the title behind it.
    const auto residentKb = [&](const std::string& path, const std::string& title) -> long {
        feeds.serve(path, linkedFeed("page", title));
        TempFolder folder;
        auto program = startBar("True", folder, {feeds.url(path)});
        const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
        EXPECT_TRUE(eventually(
            [&] {
                const auto [first, last] = textColumns(screen->grab(headlines), headlines.width());
                return last > 0 && first < headlines.width() - 300;
            },
            30s))
            << "the strip did not move in " << path;
        const auto sample = sampleProcess(program->pid());
        EXPECT_TRUE(sample.has_value()) << "the bar ended with " << path;
        return sample ? sample->residentKb : 0;
    };
    [[maybe_unused]] const long ordinary = residentKb("/ordinary.xml", "Glyph jumpy quay");
    std::string page;
    while (page.size() < 1'000'000) {
        page += "Glyph jumpy quay ";
    }
    [[maybe_unused]] const long whole = residentKb("/page.xml", page);
#if !defined(__SANITIZE_ADDRESS__)
    // A sanitizer's allocator keeps freed blocks on purpose: there only the strip is judged.
    EXPECT_LT(whole - ordinary, 5 * 1024) << ordinary << " kB with an ordinary title";
#endif
}

TEST_F(BarUnderStressTest, ABrokenFeedDoesNotTurnTheNextFeedsLinksIntoOtherText) {
    // Two "|" in a title give the first feed one field too many, if read by position, and an
    // item without a description one too few. (An error page would break a feed too, but its
    // message box waits for a person.)
    feeds.serve("/a.xml", linkedFeed("alpha", "Left | mid | right"));
    feeds.serve("/b.xml", linkedFeed("beta", "beta story 1"));
    auto program = startBar("True", home, {feeds.url("/a.xml"), feeds.url("/b.xml")});
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    ASSERT_TRUE(windowComesTo(dock, {0, 0, kScreenWidth, kBar}));
    // Click each headline as it reaches the middle of the strip until one of the second feed's
    // items after its item without a description has opened; every click must open an item's
    // own link.
    const int middle = kScreenWidth / 2;
    bool openedLaterBeta = false;
    const auto deadline = std::chrono::steady_clock::now() + 150s;
    for (int round = 0; !openedLaterBeta && std::chrono::steady_clock::now() < deadline; ++round) {
        warpPointer(middle, kScreenHeight / 2);
        // The last headline clicked moves on first, then the next one comes.
        ASSERT_TRUE(eventually([&] { return !headlineStartsAt(middle); }));
        ASSERT_TRUE(eventually([&] { return headlineStartsAt(middle); }, 20s));
        // Never the pixel of the last round: the hold keeps the strip still for a pointer that
        // comes back to where it was last seen.
        warpPointer(middle + 12 + round % 2, kBar / 2);
        ASSERT_TRUE(xdotool({"click", "1"}));
        std::istringstream opened(home.read("opened.txt"));
        for (std::string link; std::getline(opened, link);) {
            EXPECT_TRUE(link.starts_with("http://127.0.0.1/alpha/") ||
                        link.starts_with("http://127.0.0.1/beta/"))
                << "a click opened " << link;
            openedLaterBeta = openedLaterBeta || (link.starts_with("http://127.0.0.1/beta/") &&
                                                  link.back() >= '3' && link.back() <= '6');
        }
    }
    EXPECT_TRUE(openedLaterBeta)
        << "no item of the feed after the broken one, after its item without a description, "
           "could be opened";
}

TEST_F(BarUnderStressTest, APointerThatComesOntoTheBarWithoutMovingHoldsTheStrip) {
    auto program = startBar("True", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    const platform::Rect strip{0, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(windowComesTo(dock, {0, 0, kScreenWidth, kBar}));
    ASSERT_TRUE(eventually([&] { return pixelsWhere(strip, isText) > 40; }));
    // A window of the test's own lies over the bar's left half, under a resting pointer.
    const xcb_window_t cover = xcb_generate_id(x->raw());
    xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(x->raw())).data;
    const std::uint32_t overrideRedirect = 1;
    xcb_create_window(x->raw(), XCB_COPY_FROM_PARENT, cover, root->root, 0, 0, kScreenWidth / 2,
                      100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, root->root_visual,
                      XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    xcb_map_window(x->raw(), cover);
    warpPointer(kScreenWidth / 4, kBar / 2);
    const platform::Rect uncovered{kScreenWidth / 2, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(eventually([&] { return changes(uncovered); }))
        << "the strip does not scroll under the cover";
    // The cover goes: the pointer is over the bar now, though it never moved.
    xcb_destroy_window(x->raw(), cover);
    x->flush();
    EXPECT_TRUE(eventually([&] { return !changes(strip); }, 3s)) << "the strip kept moving";
}

} // namespace
} // namespace quill::testing
