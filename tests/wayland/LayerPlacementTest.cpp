#include "platform/wayland/LayerPlacement.h"

#include <gtest/gtest.h>

namespace quill::platform::wayland {
namespace {

constexpr Rect kScreen{0, 0, 1280, 800};

TEST(LayerPlacementTest, ABarOnAnEdgeSpansItAndReservesItsThickness) {
    struct Case {
        std::uint32_t edge;
        Rect rect;
        LayerPlacement expected;
    };
    const Case cases[] = {
        {ABE_TOP, {0, 0, 1280, 13}, {kAnchorTop | kAnchorLeft | kAnchorRight, 0, 13, 13}},
        {ABE_BOTTOM, {0, 787, 1280, 800}, {kAnchorBottom | kAnchorLeft | kAnchorRight, 0, 13, 13}},
        {ABE_LEFT, {0, 0, 40, 800}, {kAnchorLeft | kAnchorTop | kAnchorBottom, 40, 0, 40}},
        {ABE_RIGHT, {1240, 0, 1280, 800}, {kAnchorRight | kAnchorTop | kAnchorBottom, 40, 0, 40}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(placementFor(c.edge, c.rect, 1.0), c.expected) << "edge " << c.edge;
    }
}

TEST(LayerPlacementTest, DevicePixelsBecomeLogicalOnesOnAHighDensityScreen) {
    const auto placement = placementFor(ABE_TOP, {0, 0, 2560, 26}, 2.0);
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->height, 13u);
    EXPECT_EQ(placement->exclusiveZone, 13);
    const auto thin = placementFor(ABE_BOTTOM, {0, 1599, 2560, 1600}, 2.0);
    ASSERT_TRUE(thin);
    EXPECT_EQ(thin->height, 1u) << "a surface keeps at least a pixel";
}

TEST(LayerPlacementTest, AnEmptyRectangleKeepsTheEdgeButReservesNothing) {
    const auto placement = placementFor(ABE_LEFT, {}, 1.0);
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->anchor, kAnchorLeft | kAnchorTop | kAnchorBottom);
    EXPECT_EQ(placement->exclusiveZone, 0);
    EXPECT_GT(placement->width, 0u) << "a 0 width across the edge is a protocol error";
}

TEST(LayerPlacementTest, AnEdgeThatIsNoneOfTheFourHasNoPlacement) {
    EXPECT_FALSE(placementFor(4, {0, 0, 1280, 13}, 1.0));
}

TEST(LayerPlacementTest, TheWorkAreaLosesEachStripOnItsOwnEdge) {
    Rect area = withoutStrip(kScreen, ABE_TOP, {0, 0, 1280, 13});
    EXPECT_EQ(area, (Rect{0, 13, 1280, 800}));
    area = withoutStrip(area, ABE_BOTTOM, {0, 787, 1280, 800});
    EXPECT_EQ(area, (Rect{0, 13, 1280, 787}));
    area = withoutStrip(area, ABE_LEFT, {0, 0, 40, 800});
    area = withoutStrip(area, ABE_RIGHT, {1250, 0, 1280, 800});
    EXPECT_EQ(area, (Rect{40, 13, 1250, 787}));
    EXPECT_EQ(withoutStrip(kScreen, ABE_TOP, {}), kScreen) << "an empty strip takes nothing";
}

} // namespace
} // namespace quill::platform::wayland
