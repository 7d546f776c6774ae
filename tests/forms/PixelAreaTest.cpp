#include "forms/PixelArea.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>

namespace quill::testing {
namespace {

using forms::PixelArea;
using forms::Rect;

constexpr int kSide = 24;
using Pixels = std::array<std::array<int, kSide>, kSide>;

// How many of the area's rectangles hold each pixel.
Pixels cover(const PixelArea& area) {
    Pixels held{};
    for (const Rect& rect : area) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                ++held[y][x];
            }
        }
    }
    return held;
}

void mark(Pixels& pixels, const Rect& rect, int value) {
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, kSide); ++y) {
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, kSide); ++x) {
            pixels[y][x] = value;
        }
    }
}

// Against a plain grid of pixels: any mix of additions and removals, overlapping or not, holds
// each pixel it should exactly once and no other.
TEST(PixelAreaTest, AddsAndSubtractsPixelsAsAGridDoes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> edge(0, kSide - 1);
    for (int round = 0; round < 50; ++round) {
        PixelArea area;
        Pixels expected{};
        for (int step = 0; step < 12; ++step) {
            int left = edge(random), right = edge(random) + 1;
            int top = edge(random), bottom = edge(random) + 1;
            const Rect rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                            std::max(top, bottom)};
            const bool adding = step % 3 != 2;
            if (adding) {
                area.add(rect);
            } else {
                area.subtract(rect);
            }
            mark(expected, rect, adding ? 1 : 0);
            ASSERT_EQ(cover(area), expected) << "round " << round << ", step " << step;
            const Rect probe{edge(random), edge(random), edge(random) + 2, edge(random) + 2};
            bool anyInProbe = false;
            for (int y = probe.top; y < std::min(probe.bottom, kSide); ++y) {
                for (int x = probe.left; x < std::min(probe.right, kSide); ++x) {
                    anyInProbe = anyInProbe || expected[y][x] == 1;
                }
            }
            EXPECT_EQ(area.intersects(probe), anyInProbe);
        }
    }
}

TEST(PixelAreaTest, EmptyRectanglesHoldNothingWhereverTheyLie) {
    PixelArea area(Rect{5, 5, 5, 9});
    EXPECT_TRUE(area.isEmpty());
    area.add(Rect{2, 2, 6, 6});
    EXPECT_FALSE(area.intersects(Rect{3, 3, 3, 5}));
    EXPECT_EQ(forms::bounding(Rect{}, Rect{2, 3, 4, 5}), (Rect{2, 3, 4, 5}));
    EXPECT_EQ(forms::bounding(Rect{1, 1, 2, 2}, Rect{8, 8, 8, 20}), (Rect{1, 1, 2, 2}));
}

} // namespace
} // namespace quill::testing
