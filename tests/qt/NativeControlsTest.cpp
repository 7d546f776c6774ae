#include "QtWorld.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

// A settings window: a frame holding a list, an entry field, a button, a link label and a
// second frame with two exclusive options; plus a storage list outside the client area.
struct NativeControlsTest : ::testing::Test {
    QtWorld world;
    forms::Form form{world.app, "Options", "Options", 10635, 3255};
    forms::Frame frame1{form, "Frame1", 30, 0, 10575, 3015, "-Options-"};
    forms::ListBox list{frame1, "List1", 120, 240, 10335, 1815};
    forms::TextBox text{frame1, "Text1", 120, 2160, 6855, 285};
    forms::TextBox notes{frame1, "Notes", 120, 2520, 1400, 400, "", true};
    forms::CommandButton cancel{frame1, "Command1", 9600, 2520, 855, 375, "Cancel"};
    forms::Label link{frame1, "Label3", 6600, 2520, 1695, 255, "example.org", false};
    forms::Frame frame2{frame1, "Frame2", 2760, 2470, 3735, 495, "Display news bar on:"};
    forms::OptionButton top{frame2, "Option1", 120, 240, 1575, 195, "top of the screen", true};
    forms::OptionButton bottom{frame2, "Option2", 1800, 240, 1815, 195, "bottom of the screen",
                               false};
    forms::ListBox storage{form, "Storage", 0, 60000, 1000, 1000};

    template <typename W> W& native(const forms::Control& control) {
        QWidget* found = world.widget(form).nativeWidget(control);
        EXPECT_NE(found, nullptr) << control.name();
        return *qobject_cast<W*>(found);
    }
};

TEST_F(NativeControlsTest, WidgetsAreMadeWhenTheFormIsShownAndOnlyForControlsInView) {
    auto& widget = world.widget(form);
    EXPECT_EQ(widget.nativeWidget(list), nullptr);
    world.show(form);
    EXPECT_NE(qobject_cast<QListWidget*>(widget.nativeWidget(list)), nullptr);
    EXPECT_NE(qobject_cast<QLineEdit*>(widget.nativeWidget(text)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(widget.nativeWidget(notes)), nullptr);
    EXPECT_NE(qobject_cast<QGroupBox*>(widget.nativeWidget(frame2)), nullptr);
    for (int i = 0; i < 100; ++i) {
        storage.addItem("line " + std::to_string(i));
    }
    EXPECT_EQ(widget.nativeWidget(storage), nullptr);

    // Placed inside their frames, in the form's pixels.
    const QRect option = native<QRadioButton>(bottom).geometry();
    EXPECT_EQ(option.topLeft(),
              QPoint(qRound((30 + 2760 + 1800) / 15.0), qRound((0 + 2470 + 240) / 15.0)));
}

TEST_F(NativeControlsTest, TextBoxesFollowTheModelAndTypingFollowsIntoIt) {
    text.setText("http://first/");
    world.show(form);
    auto& edit = native<QLineEdit>(text);
    EXPECT_EQ(edit.text(), "http://first/");

    edit.setCursorPosition(7);
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(text.text(), "http://xfirst/");
    EXPECT_EQ(edit.cursorPosition(), 8) << "the echo of an edit leaves the cursor alone";

    text.setText("");
    EXPECT_EQ(edit.text(), "");

    auto& plain = native<QPlainTextEdit>(notes);
    QTest::keyClicks(&plain, "ab");
    EXPECT_EQ(notes.text(), "ab");
    notes.setText("cd");
    EXPECT_EQ(plain.toPlainText(), "cd");
}

TEST_F(NativeControlsTest, ListsFollowTheModelAndASelectionSetsTheListIndex) {
    list.addItem("a");
    world.show(form);
    auto& widget = native<QListWidget>(list);
    list.addItem("b");
    list.addItem("c");
    ASSERT_EQ(widget.count(), 3);
    EXPECT_EQ(widget.item(2)->text(), "c");

    const QRect row = widget.visualItemRect(widget.item(1));
    QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(list.listIndex(), 1);

    list.removeItem(0);
    EXPECT_EQ(widget.count(), 2);
    EXPECT_EQ(widget.item(0)->text(), "b");
    list.setListIndex(0);
    EXPECT_EQ(widget.currentRow(), 0);
    list.clear();
    EXPECT_EQ(widget.count(), 0);
    EXPECT_EQ(list.listIndex(), -1);
}

TEST_F(NativeControlsTest, ClickingAnOptionSelectsItAndClearsTheOtherOne) {
    world.show(form);
    auto& topWidget = native<QRadioButton>(top);
    auto& bottomWidget = native<QRadioButton>(bottom);
    EXPECT_TRUE(topWidget.isChecked());

    QTest::mouseClick(&bottomWidget, Qt::LeftButton);
    EXPECT_TRUE(bottom.value());
    EXPECT_FALSE(top.value());
    EXPECT_TRUE(bottomWidget.isChecked());
    EXPECT_FALSE(topWidget.isChecked());

    QTest::mouseClick(&bottomWidget, Qt::LeftButton);
    EXPECT_TRUE(bottom.value()) << "a second click keeps the option selected";
    EXPECT_TRUE(bottomWidget.isChecked());

    top.setValue(true);
    EXPECT_TRUE(topWidget.isChecked());
    EXPECT_FALSE(bottomWidget.isChecked());
}

TEST_F(NativeControlsTest, ButtonsAndLabelsInsideFramesTakeTheirClicks) {
    int pressed = 0, linked = 0;
    cancel.onClick = [&] { ++pressed; };
    link.onClick = [&] { ++linked; };
    auto& widget = world.show(form);

    QTest::mouseClick(&native<QPushButton>(cancel), Qt::LeftButton);
    EXPECT_EQ(pressed, 1);

    // Through the window, so the frame's group box lies over the label.
    const QPoint onLink(qRound((30 + 6600 + 200) / 15.0), qRound((2520 + 100) / 15.0));
    QTest::mouseClick(widget.windowHandle(), Qt::LeftButton, {}, onLink);
    EXPECT_EQ(linked, 1);
}

TEST_F(NativeControlsTest, HidingAFrameHidesWhatItHolds) {
    world.show(form);
    auto& option = native<QRadioButton>(top);
    EXPECT_TRUE(option.isVisible());
    frame2.setVisible(false);
    EXPECT_FALSE(option.isVisible());
    EXPECT_FALSE(native<QGroupBox>(frame2).isVisible());
    frame2.setVisible(true);
    EXPECT_TRUE(option.isVisible());
}

} // namespace
} // namespace quill::testing
