#include "platform/x11/AppBarShell.h"

#include <gtest/gtest.h>

namespace quill::platform::x11 {
namespace {

TEST(NullAppBarShellTest, GrantsWhatIsAskedAndReservesNothing) {
    const auto shell = makeNullAppBarShell(800, 600);
    AppBarData data;
    data.hWnd = 0x42;
    data.uEdge = ABE_TOP;
    data.rc = Rect{0, 0, 800, 13};
    EXPECT_EQ(shell->message(ABM_NEW, data), 1u);
    EXPECT_EQ(shell->message(ABM_QUERYPOS, data), 1u);
    EXPECT_EQ(shell->message(ABM_SETPOS, data), 1u);
    EXPECT_EQ(data.rc, (Rect{0, 0, 800, 13}));
    data.lParam = -1;
    EXPECT_EQ(shell->message(ABM_SETAUTOHIDEBAR, data), 1u);
    EXPECT_EQ(shell->message(ABM_GETAUTOHIDEBAR, data), 0u);
    EXPECT_EQ(shell->workArea(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(shell->fileDescriptor(), -1);
}

} // namespace
} // namespace quill::platform::x11
