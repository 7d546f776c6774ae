#include "BarOnDesktop.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace quill::testing {
namespace {

// The desktop's tool-tip background: pale, where the bar is dark and Xvfb's root black.
bool isTipBackground(const Pixel& p) {
    return p.r > 230 && p.g > 230 && p.b > 180;
}
bool isInk(const Pixel& p) {
    return p.r < 90 && p.g < 90 && p.b < 90;
}

TEST_F(BarOnDesktopTest, AHeadlinesStoryShowsBelowTheBarWhileThePointerRestsOnIt) {
    warpPointer(kScreenWidth / 2, kScreenHeight / 2);
    auto program = startBar("True", home);
    waitForDock(*program);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    const platform::Rect strip{0, 0, kScreenWidth - kBoxesWidth, kBar};
    // Text across more than the heading's width: the rightmost words are a story's headline. The
    // strip moves some 50 pixels a second.
    int pointerX = 0;
    ASSERT_TRUE(eventually(
        [&] {
            const auto pixels = screen->grab(strip);
            const auto [leftmost, last] = textColumns(pixels, strip.width());
            pointerX = middleOfRightmostWords(pixels, strip.width());
            return last - leftmost > 250 && pointerX > 0;
        },
        std::chrono::seconds(30)))
        << "the strip never filled";
    const platform::Rect below{0, kBar, kScreenWidth, kBar + 40};
    EXPECT_EQ(pixelsWhere(below, isTipBackground), 0);

    warpPointer(pointerX, kBar / 2);
    ASSERT_TRUE(eventually([&] { return pixelsWhere(below, isTipBackground) > 200; }))
        << "no tip below the bar";
    // "Story n" written on it, beside the pointer.
    const platform::Rect nearby{std::max(0, pointerX - 100), kBar,
                                std::min(kScreenWidth, pointerX + 100), kBar + 40};
    EXPECT_GT(pixelsWhere(nearby, isInk), 10);

    warpPointer(kScreenWidth / 2, kScreenHeight / 2);
    EXPECT_TRUE(eventually([&] { return pixelsWhere(below, isTipBackground) == 0; }))
        << "the tip stays after the pointer left";
}

} // namespace
} // namespace quill::testing
