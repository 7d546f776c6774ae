#include "forms/qt/FrameMargins.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using forms::qt::frameMargins;

TEST(FrameMarginsTest, ADecoratedWindowsFrameIsMeasuredOnEachSide) {
    const QRect inner(105, 125, 400, 300);
    const QRect outer(100, 100, 410, 330);
    EXPECT_EQ(frameMargins(outer, inner), QMargins(5, 25, 5, 5));
    EXPECT_EQ(inner.marginsAdded(frameMargins(outer, inner)), outer);
    EXPECT_EQ(frameMargins(inner, inner), QMargins());
}

// Under kwin_x11 Qt reads a dock's frame as 1x1 at its corner: taken as it was, it made the
// next placement of a 1280x13 bar 2559x25.
TEST(FrameMarginsTest, AFrameSmallerThanItsWindowCountsAsNone) {
    const QRect bar(0, 1011, 1280, 13);
    EXPECT_EQ(frameMargins(QRect(0, 1011, 1, 1), bar), QMargins());
    EXPECT_EQ(frameMargins(QRect(10, 1000, 1260, 40), bar), QMargins(0, 11, 0, 16));
}

} // namespace
} // namespace quill::testing
