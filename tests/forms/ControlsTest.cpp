#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "support/HeadlessBackend.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quill::testing {
namespace {

struct ControlsTest : ::testing::Test {
    HeadlessWorld world;
    forms::Form form{world.app, "Form", "Form", 4800, 3600};
    std::vector<std::string> events;
};

TEST_F(ControlsTest, PressingAButtonRunsItsClickHandlerToItsEndBeforeReturning) {
    forms::CommandButton button(form, "Command1");
    button.onClick = [&] { events.push_back("click"); };
    button.press();
    events.push_back("after");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "after"}));
}

TEST_F(ControlsTest, ACaptionRunsTheChangeHandlerInsideTheAssignmentWithTheNewSize) {
    forms::Label label(form, "Label1", 0, 0, 480, 195, "Label1", true);
    EXPECT_EQ(label.width(), 6 * 7 * 15.0f); // auto-sized from the start
    label.onChange = [&] {
        events.push_back(label.caption() + " " + std::to_string(static_cast<int>(label.width())));
    };
    label.setCaption("Hello, world");
    events.push_back("after");
    EXPECT_EQ(events, (std::vector<std::string>{"Hello, world 1260", "after"}));
    EXPECT_EQ(label.height(), 13 * 15.0f);

    forms::Label fixed(form, "Label15", 1200, 3120, 615, 255, "20", false);
    fixed.setCaption("a much longer caption");
    EXPECT_EQ(fixed.width(), 615.0f); // a label that does not size itself keeps its box
}

TEST_F(ControlsTest, ListsReadEmptyBeyondTheirEndsAndStopAtTheSixteenBitLimit) {
    forms::ListBox list(form, "List1");
    list.addItem("a");
    EXPECT_EQ(list.list(0), "a");
    EXPECT_EQ(list.list(1), "");
    EXPECT_EQ(list.list(-1), "");
    EXPECT_FALSE(list.removeItem(-1)); // nothing selected: nothing removed
    EXPECT_EQ(list.listCount(), 1);
    for (int i = 1; i < forms::ListBox::kMaxEntries; ++i) {
        ASSERT_TRUE(list.addItem("x"));
    }
    EXPECT_FALSE(list.addItem("one too many"));
    EXPECT_EQ(list.listCount(), forms::ListBox::kMaxEntries);
}

TEST_F(ControlsTest, OptionButtonsInOneContainerExcludeEachOtherOnly) {
    forms::Frame frame(form, "Frame2", 0, 0, 3000, 500, "Display news bar on:");
    forms::OptionButton top(frame, "Option1", 0, 0, 100, 100, "top", true);
    forms::OptionButton bottom(frame, "Option2", 0, 0, 100, 100, "bottom", false);
    forms::OptionButton elsewhere(form, "Option3", 0, 0, 100, 100, "other", true);
    bottom.setValue(true);
    EXPECT_FALSE(top.value());
    EXPECT_TRUE(bottom.value());
    EXPECT_TRUE(elsewhere.value());
}

TEST_F(ControlsTest, ThePointerReachesLabelsTheSurfaceOrNothingOverAHoldersMargin) {
    forms::PictureBox holder(form, "Picture1", 1500, 0, 1000, 255);
    forms::Label label(holder, "Label1", 0, 0, 480, 195, "News", true);
    label.onMouseMove = [&] { events.push_back("label"); };
    label.onClick = [&] { events.push_back("click"); };
    form.onMouseMove = [&] { events.push_back("form"); };
    form.mouseMoveAt(1510, 10); // on the label
    form.mouseMoveAt(2400, 10); // on the holder, beside the label
    form.mouseMoveAt(100, 10);  // on the bar's own surface
    form.clickAt(1510, 10);
    form.clickAt(100, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"label", "form", "click"}));
}

} // namespace
} // namespace quill::testing
