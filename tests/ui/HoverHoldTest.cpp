#include "BarFixture.h"
#include "feeds/Form2.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using ui::mdlToolTip;

// A movement is seen at the next look; the strip moves again by the next tick after that.
constexpr double kPrompt = mdlToolTip::kLookIntervalMs + 16;

struct HoverHoldTest : BarFixture, ::testing::Test {
    void SetUp() override {
        startShowing();
        pointAt(300, 6);
    }
};

TEST_F(HoverHoldTest, ARestingPointerUnderlinesTheHeadlineAndFreezesTheWholeStrip) {
    std::vector<float> lefts;
    double moved = 0;
    after(1000, [&] {
        lefts = holderLefts();
        EXPECT_EQ(underlined(), std::vector<int>{2});
        EXPECT_FALSE(form1->Timer1.enabled());
    });
    after(5000, [&] {
        EXPECT_EQ(holderLefts(), lefts);
        EXPECT_EQ(underlined(), std::vector<int>{2});
    });
    after(6000, [&] {
        pointAt(301, 6); // one pixel
        moved = now();
    });
    moveOver(2);
    EXPECT_GT(moved, 0);
    EXPECT_LE(now() - moved, kPrompt);
    EXPECT_TRUE(form1->Timer1.enabled());
    EXPECT_TRUE(underlined().empty());
    world.backend.advance(100);
    EXPECT_LT(form1->Picture2.left(), lefts[1]);

    // Still over the headline: the next event holds again at once.
    after(2000, [&] {
        EXPECT_FALSE(form1->Timer1.enabled());
        EXPECT_EQ(underlined(), std::vector<int>{2});
        pointAt(310, 6);
    });
    const double start = now();
    moveOver(2);
    EXPECT_GE(now() - start, 2000);
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(HoverHoldTest, APointerOnTheBarsSurfaceFreezesTheStripAndUnderlinesNoHeadline) {
    form1->Label5.setUnderline(true); // as a headline event whose hold returned at once leaves it
    const float x = bareX(100);
    std::vector<float> lefts;
    after(1000, [&] {
        lefts = holderLefts();
        EXPECT_FALSE(form1->Timer1.enabled());
    });
    after(4000, [&] {
        EXPECT_EQ(holderLefts(), lefts);
        pointAt(299, 6);
    });
    form1->mouseMoveAt(x, 100);
    EXPECT_GE(now(), 4000);
    EXPECT_TRUE(form1->Timer1.enabled());
    EXPECT_TRUE(underlined().empty());
}

TEST_F(HoverHoldTest, AHoldersMarginOutsideItsLabelTriggersNothing) {
    after(1000, [&] { pointAt(0, 0); }); // would end a hold that should not have started
    const forms::PictureBox& holder = form1->Picture3;
    const forms::Label& label = form1->Label3;
    const double start = now();
    form1->mouseMoveAt(holder.left() + label.width() + 20, 100); // right of the label
    form1->mouseMoveAt(holder.left() + 15, label.height() + 20); // below it
    EXPECT_EQ(now(), start);
    EXPECT_TRUE(form1->Timer1.enabled());
    EXPECT_TRUE(underlined().empty());
}

TEST_F(HoverHoldTest, AnEventHandledDuringAHoldCanStartAnInnerHold) {
    double innerStarted = 0, innerEnded = 0;
    after(1000, [&] {
        pointAt(320, 6);
        world.backend.post([&] {
            innerStarted = now();
            moveOver(3);
            innerEnded = now();
            // The inner hold has undone everything already.
            EXPECT_TRUE(form1->Timer1.enabled());
            EXPECT_TRUE(underlined().empty());
        });
    });
    after(2000, [&] {
        EXPECT_EQ(underlined(), std::vector<int>{3}) << "only the headline under the pointer";
        EXPECT_FALSE(form1->Timer1.enabled());
    });
    after(3000, [&] { pointAt(330, 6); });
    moveOver(2);
    EXPECT_GT(innerStarted, 0);
    EXPECT_GE(innerEnded, 3000);
    EXPECT_EQ(now(), innerEnded); // the outer hold saw the change at its next look
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(HoverHoldTest, AnEventWhileThePointerStandsStillDoesNotStartASecondHold) {
    after(1000, [&] {
        world.backend.post([&] {
            const double before = now();
            moveOver(5);
            EXPECT_EQ(now(), before);
        });
    });
    after(2000, [&] {
        EXPECT_EQ(underlined(), std::vector<int>{5});
        EXPECT_FALSE(form1->Timer1.enabled());
    });
    after(3000, [&] { pointAt(301, 6); });
    moveOver(2);
    EXPECT_TRUE(underlined().empty());
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(HoverHoldTest, AHoldWaitsWhereTheLastLookWasWhenNoneIsWaitingAbove) {
    pointAt(0, 0);                           // the initial last look
    after(1000, [&] { pointAt(300, 600); }); // off the bar: the bar sees no move
    const double start = now();
    moveOver(2);
    EXPECT_GE(now() - start, 1000);
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(HoverHoldTest, AReloadDueDuringAHoldRunsInsideItAndTheHoldGoesOn) {
    form1->Label15.setCaption("1");
    form1->MinuteCount = 0;
    const std::size_t fetches = http.requested.size();
    serveFeed("news", {"Fresh"});
    std::vector<float> lefts;
    after(1000, [&] { lefts = holderLefts(); });
    after(65000, [&] {
        EXPECT_EQ(http.requested.size(), fetches + 1);
        EXPECT_EQ(form1->List1.list(3), "Fresh");
        EXPECT_FALSE(form1->Timer1.enabled());
        EXPECT_EQ(holderLefts(), lefts);
    });
    after(70000, [&] { pointAt(301, 6); });
    moveOver(2);
    EXPECT_GE(now(), 70000);
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(HoverHoldTest, ARestingHoldWaitsInsteadOfSpinning) {
    int pumps = 0;
    world.backend.onPump = [&] {
        if (++pumps == 100000) {
            pointAt(1, 1); // a spinning hold never lets virtual time pass: end it here
        }
    };
    const int waitsBefore = world.backend.waits;
    after(10000, [&] { pointAt(301, 6); });
    const double start = now();
    moveOver(2);
    world.backend.onPump = nullptr;
    EXPECT_GE(now() - start, 10000);
    // At most one look every 10 ms over 10 s.
    EXPECT_LE(pumps, 1000);
    EXPECT_LE(world.backend.waits - waitsBefore, 1000);
}

TEST_F(HoverHoldTest, AHeadlineHoldRemovesATipWhenItEndsAndABarHoldLeavesIt) {
    const platform::Hwnd tip = world.desktop.createWindow({0, 0, 100, 20});
    world.desktop.ShowWindow(tip, platform::SW_SHOW);
    form1->ToolTip.TipWindow = tip;
    after(1000, [&] { pointAt(301, 6); });
    form1->mouseMoveAt(bareX(100), 100);
    EXPECT_EQ(form1->ToolTip.TipWindow, tip);
    after(1000, [&] { pointAt(302, 6); });
    moveOver(2);
    EXPECT_EQ(form1->ToolTip.TipWindow, 0u);
    EXPECT_FALSE(world.desktop.IsWindowVisible(tip));
}

TEST_F(HoverHoldTest, ARestingPointerShowsTheDescriptionOnceUntilTheHoldEnds) {
    // As the feed's decoding leaves an escaped HTML description.
    form1->ItemDescription[2] = "<p>It&#8217;s <b>up</b>&nbsp;again</p>";
    const std::vector<std::string> items = itemList();
    const auto& tips = world.backend.tips;
    const double start = now();
    after(mdlToolTip::kTipDelayMs - 100, [&] { EXPECT_TRUE(tips.empty()); });
    after(5000, [&] {
        ASSERT_EQ(tips.size(), 1u);
        EXPECT_EQ(tips[0].text, "It\u2019s up again");
        EXPECT_EQ(tips[0].owner, form1->hwnd());
        EXPECT_EQ(tips[0].pointer, (platform::Point{300, 6}));
        EXPECT_GE(tips[0].shownAt - start, mdlToolTip::kTipDelayMs);
        EXPECT_LE(tips[0].shownAt - start, mdlToolTip::kTipDelayMs + mdlToolTip::kLookIntervalMs);
        EXPECT_EQ(form1->ToolTip.TipWindow, world.backend.tipWindow);
        EXPECT_TRUE(world.desktop.IsWindowVisible(world.backend.tipWindow));
        pointAt(301, 6);
    });
    moveOver(2);
    EXPECT_EQ(tips.size(), 1u);
    EXPECT_EQ(form1->ToolTip.TipWindow, 0u);
    EXPECT_FALSE(world.desktop.IsWindowVisible(world.backend.tipWindow));
    EXPECT_TRUE(form1->Timer1.enabled());
    EXPECT_EQ(itemList(), items);
}

TEST_F(HoverHoldTest, NothingReadableAndTheBarsSurfaceShowNoTip) {
    int x = 300;
    const auto restFor2s = [&] {
        pointAt(x, 6);
        after(2000, [&, moved = x + 1] { pointAt(moved, 6); });
        x += 10;
    };
    for (const char* description : {"", "<br/><img src=\"a.png\">", " \n "}) {
        form1->ItemDescription[2] = description;
        restFor2s();
        const double start = now();
        moveOver(2);
        EXPECT_GE(now() - start, 2000) << description;
    }
    restFor2s();
    form1->mouseMoveAt(bareX(100), 100);
    EXPECT_TRUE(world.backend.tips.empty());
    EXPECT_EQ(form1->ToolTip.TipWindow, 0u);
}

TEST_F(HoverHoldTest, AnInnerHoldsTipGoesWithItsHold) {
    form1->ItemDescription[2] = "Outer";
    form1->ItemDescription[3] = "Inner";
    std::size_t tipsInside = 0;
    after(1000, [&] {
        pointAt(320, 6);
        world.backend.post([&] {
            moveOver(3);
            tipsInside = world.backend.tips.size();
            EXPECT_FALSE(world.desktop.IsWindowVisible(world.backend.tipWindow));
        });
    });
    after(3000, [&] { pointAt(330, 6); });
    moveOver(2);
    ASSERT_EQ(tipsInside, 2u);
    EXPECT_EQ(world.backend.tips[1].text, "Inner");
    EXPECT_EQ(world.backend.tips.size(), 2u); // the outer one is not shown again
    EXPECT_FALSE(world.desktop.IsWindowVisible(world.backend.tipWindow));
}

TEST_F(HoverHoldTest, ATipCostsNoLookBeyondThoseOfARestingPointer) {
    const auto restingWaits = [&](const char* description, int x) {
        form1->ItemDescription[2] = description;
        pointAt(x, 6);
        const int before = world.backend.waits;
        after(10000, [&, x] { pointAt(x + 1, 6); });
        moveOver(2);
        return world.backend.waits - before;
    };
    const int without = restingWaits("", 300);
    const int with = restingWaits("A story", 310);
    EXPECT_EQ(world.backend.tips.size(), 1u);
    EXPECT_EQ(with, without);
}

} // namespace
} // namespace quill::testing
