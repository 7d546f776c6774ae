#include "forms/TipPlacement.h"

#include <gtest/gtest.h>

namespace quill::forms {
namespace {

using platform::Point;
using platform::Rect;

constexpr Rect kScreen{0, 0, 1000, 800};

struct Case {
    const char* what;
    Rect owner;
    Point pointer;
    Rect tip;
};

TEST(TipPlacementTest, TheTipStaysOffTheBarAndOnTheScreen) {
    const Case cases[] = {
        {"bar at the top", {0, 0, 1000, 20}, {300, 10}, {300, 20, 500, 80}},
        {"bar at the bottom", {0, 780, 1000, 800}, {300, 790}, {300, 720, 500, 780}},
        {"floating high", {100, 200, 900, 220}, {150, 210}, {150, 220, 350, 280}},
        {"floating low", {100, 600, 900, 620}, {150, 610}, {150, 540, 350, 600}},
        {"near the right edge", {0, 0, 1000, 20}, {950, 10}, {800, 20, 1000, 80}},
        {"pointer left of the screen", {-50, 0, 1000, 20}, {-20, 10}, {0, 20, 200, 80}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tipPlacement(c.owner, kScreen, 200, 60, c.pointer), c.tip) << c.what;
    }
}

TEST(TipPlacementTest, ATallTipIsPushedOntoTheScreen) {
    const Rect tip = tipPlacement({0, 0, 1000, 20}, kScreen, 200, 790, {10, 10});
    EXPECT_EQ(tip, (Rect{10, 10, 210, 800}));
}

} // namespace
} // namespace quill::forms
