#include "platform/x11/Struts.h"

#include <gtest/gtest.h>

namespace quill::platform::x11 {
namespace {

constexpr ScreenSize kScreen{1280, 1024};

TEST(StrutsTest, StripOnEachEdgeGivesItsStrut) {
    EXPECT_EQ(strutFor(ABE_TOP, Rect{0, 0, 1280, 13}, kScreen),
              (Strut{0, 0, 13, 0, 0, 0, 0, 0, 0, 1279, 0, 0}));
    EXPECT_EQ(strutFor(ABE_BOTTOM, Rect{0, 1011, 1280, 1024}, kScreen),
              (Strut{0, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0, 1279}));
    EXPECT_EQ(strutFor(ABE_LEFT, Rect{0, 100, 32, 600}, kScreen),
              (Strut{32, 0, 0, 0, 100, 599, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(strutFor(ABE_RIGHT, Rect{1248, 0, 1280, 1024}, kScreen),
              (Strut{0, 32, 0, 0, 0, 0, 0, 1023, 0, 0, 0, 0}));
    // A bar stacked below another reserves from the screen edge down to its own bottom.
    EXPECT_EQ(strutFor(ABE_TOP, Rect{0, 13, 1280, 26}, kScreen)[2], 26u);
}

TEST(StrutsTest, EmptyStripOrNoEdgeReservesNothing) {
    EXPECT_EQ(strutFor(ABE_TOP, Rect{}, kScreen), Strut{});
    EXPECT_EQ(strutFor(5, Rect{0, 0, 1280, 13}, kScreen), Strut{});
    EXPECT_EQ(strutFor(ABE_TOP, Rect{0, -20, 1280, -7}, kScreen), Strut{});
}

TEST(StrutsTest, PlainStrutSpansTheWholeEdge) {
    const auto strut = strutFrom(std::nullopt, std::vector<std::uint32_t>{0, 0, 20, 0}, kScreen);
    ASSERT_TRUE(strut);
    EXPECT_EQ(heldStrip(*strut, ABE_TOP, Rect{0, 0, 1280, 20}, kScreen), (Rect{0, 0, 1280, 20}));
    EXPECT_FALSE(strutFrom(std::nullopt, std::nullopt, kScreen));
}

TEST(StrutsTest, HeldStripStartsWhereTheWindowIs) {
    const Strut second = strutFor(ABE_TOP, Rect{0, 13, 1280, 26}, kScreen);
    EXPECT_EQ(heldStrip(second, ABE_TOP, Rect{0, 13, 1280, 26}, kScreen), (Rect{0, 13, 1280, 26}));
    // A window that is not where its strut is (still moving, say) holds the whole strut.
    EXPECT_EQ(heldStrip(second, ABE_TOP, Rect{300, 400, 700, 500}, kScreen),
              (Rect{0, 0, 1280, 26}));
    const Strut bottom = strutFor(ABE_BOTTOM, Rect{0, 998, 1280, 1011}, kScreen);
    EXPECT_EQ(heldStrip(bottom, ABE_BOTTOM, Rect{0, 998, 1280, 1011}, kScreen),
              (Rect{0, 998, 1280, 1011}));
    EXPECT_FALSE(heldStrip(second, ABE_BOTTOM, Rect{0, 13, 1280, 26}, kScreen));
}

TEST(StrutsTest, TrimmingStacksBarsAndLeavesTheInnerOneWhereItIs) {
    const std::vector<Rect> first{Rect{0, 0, 1280, 13}};
    Rect rect{0, 0, 1280, 1024};
    trimPast(ABE_TOP, rect, first);
    EXPECT_EQ(rect, (Rect{0, 13, 1280, 1024}));

    // Two stacked bars: a third goes below both, whatever order they come in.
    const std::vector<Rect> both{Rect{0, 13, 1280, 26}, Rect{0, 0, 1280, 13}};
    rect = Rect{0, 0, 1280, 1024};
    trimPast(ABE_TOP, rect, both);
    EXPECT_EQ(rect.top, 26);

    // The bar at the edge is not pushed out by the one stacked on it.
    rect = Rect{0, 0, 1280, 1024};
    trimPast(ABE_TOP, rect, {Rect{0, 13, 1280, 26}});
    EXPECT_EQ(rect.top, 0);

    rect = Rect{0, 0, 1280, 1024};
    trimPast(ABE_BOTTOM, rect, {Rect{0, 1011, 1280, 1024}, Rect{0, 998, 1280, 1011}});
    EXPECT_EQ(rect.bottom, 998);
    rect = Rect{0, 0, 1280, 1024};
    trimPast(ABE_LEFT, rect, {Rect{0, 0, 40, 1024}});
    EXPECT_EQ(rect.left, 40);
    rect = Rect{0, 0, 1280, 1024};
    trimPast(ABE_RIGHT, rect, {Rect{1240, 0, 1280, 1024}});
    EXPECT_EQ(rect.right, 1240);
}

TEST(StrutsTest, StripBesideTheRectangleDoesNotTrimIt) {
    Rect rect{200, 0, 1280, 1024};
    trimPast(ABE_TOP, rect, {Rect{0, 0, 100, 30}});
    EXPECT_EQ(rect, (Rect{200, 0, 1280, 1024}));
}

} // namespace
} // namespace quill::platform::x11
