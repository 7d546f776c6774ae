#include "QtWorld.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/OptionButton.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <algorithm>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

constexpr forms::Color kWhite{255, 255, 255};

// Boxes measured for a narrower font than the desktop's, as the options window has them.
struct CaptionFittingTest : ::testing::Test {
    QtWorld world;
    forms::Form form{world.app, "Options", "Options", 10635, 3255};
    forms::Frame frame1{form, "Frame1", 30, 0, 10575, 3015, "-Options-"};
    forms::Label reload{frame1, "Label1", 120, 2640, 1455, 255, "Reload news every:", false};
    forms::Frame frame2{frame1, "Frame2", 2760, 2470, 3735, 495, "Display news bar on:"};
    forms::OptionButton top{frame2, "Option1", 120, 240, 1575, 195, "top of the screen", true};
    forms::OptionButton bottom{frame2, "Option2", 1800, 240, 1815, 195, "bottom of the screen",
                               false};
    forms::CommandButton remove{frame1, "Command4", 8640, 2160, 1815, 255, "Remove selected link"};
    forms::CommandButton cancel{frame1, "Command1", 9600, 2520, 855, 375, "Cancel"};
    forms::Label help{form,
                      "Label5",
                      1440,
                      3000,
                      7455,
                      255,
                      "To learn more about adding news to this list please click this link (or "
                      "visit www.brindlewood.example/links1.htm)",
                      false};
    forms::Frame narrow{form, "Frame3", 9000, 3000, 600, 255, "A title far too long for it"};

    CaptionFittingTest() {
        form.setBackColor(kWhite);
        for (forms::Label* label : {&reload, &help}) {
            label->setBackColor(kWhite);
        }
    }

    template <typename W> W& native(const forms::Control& control) {
        QWidget* found = world.widget(form).nativeWidget(control);
        EXPECT_NE(found, nullptr) << control.name();
        return *qobject_cast<W*>(found);
    }

    QRect pixels(const forms::Label& label) {
        const float t = world.backend.twipsPerPixelX();
        const float left = label.left() + (&label.parent() == &frame1 ? frame1.left() : 0);
        const float topTwips = label.top() + (&label.parent() == &frame1 ? frame1.top() : 0);
        return {qRound(left / t), qRound(topTwips / t), qRound(label.width() / t),
                qRound(label.height() / t)};
    }
};

// The columns and rows of `rect` that hold anything darker than white.
QRect inkBounds(const QImage& image, const QRect& rect) {
    QRect ink;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y).lightness() < 128) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST_F(CaptionFittingTest, FixedSizeLabelsShowTheirWholeCaptionOnOneLine) {
    const int fontPixels = forms::Font{}.pixelSize;
    QFont font = world.widget(form).font();
    font.setPixelSize(fontPixels);
    const QFontMetrics metrics(font);
    ASSERT_GT(metrics.horizontalAdvance("Reload news every:"), pixels(reload).width())
        << "the box is too narrow for the desktop's font";

    const QImage image = world.show(form).grab().toImage();
    for (const forms::Label* label : {&reload, &help}) {
        const QRect box = pixels(*label);
        const QRect ink = inkBounds(image, box);
        ASSERT_FALSE(ink.isEmpty()) << label->name();
        // Cut or wrapped, the first line would end well before the box does.
        const int whole = QFontMetrics(world.widget(form).font())
                              .horizontalAdvance(QString::fromStdString(label->caption()));
        EXPECT_GT(ink.right() - box.left(), std::min(box.width(), whole) * 85 / 100)
            << label->name();
        EXPECT_LT(ink.bottom() - box.top(), metrics.lineSpacing()) << "one line";
    }
    EXPECT_EQ(reload.font().pixelSize, fontPixels) << "the model keeps its font";
}

TEST_F(CaptionFittingTest, OptionsAndButtonsShowTheirWholeCaptionBesideWhatTheStyleDraws) {
    world.show(form);
    const int windowPixels = world.widget(form).font().pixelSize();
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             &native<QRadioButton>(top), &native<QRadioButton>(bottom),
             &native<QPushButton>(remove)}) {
        EXPECT_FALSE(button->text().contains(QChar(0x2026))) << button->text().toStdString();
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
        EXPECT_LE(button->font().pixelSize(), windowPixels) << button->text().toStdString();
    }
    EXPECT_EQ(native<QRadioButton>(top).text(), "top of the screen");
    EXPECT_EQ(native<QPushButton>(remove).text(), "Remove selected link");
    EXPECT_EQ(native<QPushButton>(cancel).font().pixelSize(), windowPixels) << "it fits as it is";
}

TEST_F(CaptionFittingTest, FrameTitlesFitBetweenTheFrameEnds) {
    world.show(form);
    auto& displayOn = native<QGroupBox>(frame2);
    EXPECT_EQ(displayOn.title(), "Display news bar on:");
    EXPECT_EQ(displayOn.font().pixelSize(), world.widget(form).font().pixelSize());

    auto& box = native<QGroupBox>(narrow);
    EXPECT_TRUE(box.title().endsWith(QChar(0x2026))) << box.title().toStdString();
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title =
        box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    EXPECT_TRUE(box.rect().contains(title)) << "title ends at " << title.right();
}

TEST_F(CaptionFittingTest, AResizedButtonFitsItsCaptionAgain) {
    world.show(form);
    auto& button = native<QPushButton>(remove);
    remove.setWidth(900); // too narrow for its caption in any face
    const int small = button.font().pixelSize();
    remove.setWidth(4000);
    EXPECT_GT(button.font().pixelSize(), small);
    EXPECT_EQ(button.font().pixelSize(), world.widget(form).font().pixelSize());
}

} // namespace
} // namespace quill::testing
