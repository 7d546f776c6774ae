#include "QtWorld.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "forms/qt/QtStyle.h"

#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using forms::Color;

constexpr Color kWhite{255, 255, 255};
constexpr Color kGreen{0, 160, 0};
constexpr Color kYellow{255, 255, 0};

QColor qcolor(Color c) {
    return {c.r, c.g, c.b};
}

// A bar with one headline slot: a green holder fitted around a yellow auto-sized label.
struct FormPaintingTest : ::testing::Test {
    QtWorld world;
    forms::Form form{world.app, "Bar", "Bar", 6000, 900};
    forms::PictureBox holder{form, "Picture1", 1500, 150, 615, 255};
    forms::Label label{holder, "Label1", 0, 0, 480, 195, "Label1", true};
    forms::Label other{form, "Label2", 4500, 600, 480, 195, "Other", true};

    FormPaintingTest() {
        form.setBackColor(kWhite);
        holder.setBackColor(kGreen);
        label.setBackColor(kYellow);
        label.onChange = [this] {
            holder.setWidth(label.width() + 40);
            holder.setHeight(label.height() + 45);
        };
        label.setCaption("Headline WWW");
    }

    QRect pixels(const forms::Control& control) {
        const float t = world.backend.twipsPerPixelX();
        float left = control.left(), top = control.top();
        if (&control.parent() == &holder) {
            left += holder.left();
            top += holder.top();
        }
        return QRect(qRound(left / t), qRound(top / t), qRound(control.width() / t),
                     qRound(control.height() / t));
    }
};

// Counts a rectangle's pixels that are the label's background and those darker (its text).
struct Ink {
    int background = 0, dark = 0, other = 0;
};
Ink inkIn(const QImage& image, const QRect& rect, QColor background) {
    Ink ink;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == background) {
                ++ink.background;
            } else if (c.lightness() < background.lightness() / 2) {
                ++ink.dark;
            } else {
                ++ink.other;
            }
        }
    }
    return ink;
}

TEST_F(FormPaintingTest, AnAutoSizedLabelTakesTheSizeOfItsCaptionInTheQtFont) {
    // The window's font: the desktop's face at the largest size whose line fits the forms' line.
    const QFontMetrics metrics(world.show(form).font());
    EXPECT_LE(metrics.height(), forms::lineHeight(forms::Font{}.pixelSize));
    const float t = world.backend.twipsPerPixelX();
    EXPECT_FLOAT_EQ(t * static_cast<float>(QGuiApplication::primaryScreen()->logicalDotsPerInchX()),
                    1440.0f);
    EXPECT_FLOAT_EQ(label.width(), metrics.horizontalAdvance("Headline WWW") * t);
    EXPECT_FLOAT_EQ(label.height(), metrics.height() * t);

    forms::Font bigger;
    bigger.pixelSize = 2 * forms::Font{}.pixelSize;
    const float narrow = label.width();
    label.setFont(bigger);
    EXPECT_GT(label.width(), 1.5f * narrow);
}

TEST_F(FormPaintingTest, PaintsTheLabelInItsColoursInsideItsHolder) {
    const QImage image = world.show(form).grab().toImage();
    const QRect text = pixels(label);
    const QRect box = pixels(holder);
    ASSERT_GT(box.width(), text.width());

    const Ink ink = inkIn(image, text, qcolor(kYellow));
    EXPECT_GT(ink.dark, 10) << "the caption's letters";
    EXPECT_GT(ink.background, ink.dark) << "on the label's own background";
    EXPECT_EQ(image.pixelColor(box.right(), box.center().y()), qcolor(kGreen)) << "holder margin";
    EXPECT_EQ(image.pixelColor(text.center().x(), box.bottom()), qcolor(kGreen));
    EXPECT_EQ(image.pixelColor(box.left() - 1, box.center().y()), qcolor(kWhite)) << "form";
    EXPECT_EQ(image.pixelColor(box.right() + 1, box.center().y()), qcolor(kWhite));
}

TEST_F(FormPaintingTest, HiddenControlsAreNotPainted) {
    holder.setVisible(false);
    const QImage image = world.show(form).grab().toImage();
    const Ink ink = inkIn(image, pixels(holder), qcolor(kWhite));
    EXPECT_EQ(ink.background, pixels(holder).width() * pixels(holder).height());
}

TEST_F(FormPaintingTest, AMovedHolderRepaintsWhereItWasAndWhereItIsNotTheWholeWindow) {
    auto& widget = world.show(form);
    PaintRecorder recorder(widget);
    const QRect before = pixels(holder);
    holder.setLeft(holder.left() + 1500); // 100 pixels to the right
    ASSERT_TRUE(recorder.waitForPaint());
    const QRect after = pixels(holder);

    QRegion painted;
    for (const QRegion& region : recorder.regions) {
        painted += region;
    }
    EXPECT_TRUE(painted.subtracted(before | after).isEmpty()) << "painted beyond the holder";
    EXPECT_TRUE((QRegion(before) + after).subtracted(painted).isEmpty());

    const QImage screen = screenImage(widget);
    EXPECT_EQ(inkIn(screen, before, qcolor(kWhite)).background, before.width() * before.height())
        << "nothing left behind";
    EXPECT_GT(inkIn(screen, pixels(label), qcolor(kYellow)).dark, 10);
    EXPECT_EQ(screen.pixelColor(after.right(), after.center().y()), qcolor(kGreen));
}

TEST_F(FormPaintingTest, AMoveWithinOnePixelPaintsNothing) {
    holder.setLeft(1500);
    auto& widget = world.show(form);
    PaintRecorder recorder(widget);
    holder.setLeft(1501); // still pixel 100 at 15 twips a pixel
    other.setCaption("Elsewhere");
    ASSERT_TRUE(recorder.waitForPaint());
    for (const QRegion& region : recorder.regions) {
        EXPECT_FALSE(region.intersects(pixels(holder)));
    }
}

TEST_F(FormPaintingTest, TheCaptionStripPushesTheClientAreaDown) {
    auto& widget = world.show(form);
    PaintRecorder recorder(widget);
    widget.setCaptionStrip(true);
    ASSERT_TRUE(recorder.waitForPaint());
    const QImage screen = screenImage(widget);
    const int strip = widget.captionStripHeight();
    ASSERT_GT(strip, 0);
    EXPECT_NE(screen.pixelColor(1, 1), qcolor(kWhite));
    EXPECT_GT(inkIn(screen, pixels(label).translated(0, strip), qcolor(kYellow)).dark, 10);
    EXPECT_EQ(screen.pixelColor(pixels(holder).right(), pixels(holder).center().y() + strip),
              qcolor(kGreen));
}

TEST_F(FormPaintingTest, WhatATimerMovesIsPaintedAtTheEndOfItsTick) {
    auto& widget = world.show(form);
    PaintRecorder recorder(widget);
    forms::Timer mover(form, "Timer1", 1, true);
    mover.onTimer = [&] {
        mover.setEnabled(false);
        holder.setLeft(holder.left() + 1500);
    };
    ASSERT_TRUE(recorder.waitForPaint());
    const QImage screen = screenImage(widget);
    EXPECT_GT(inkIn(screen, pixels(label), qcolor(kYellow)).dark, 10);
}

TEST_F(FormPaintingTest, WhatATimerChangedShowsWhileItsMessageBoxIsOpen) {
    auto& widget = world.show(form);
    QColor seen;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = screenImage(widget).pixelColor(pixels(other).center().x(), pixels(other).top());
            box->accept();
        }
    });
    reader.start(10);
    bool done = false;
    forms::Timer notice(form, "Timer3", 1, true);
    notice.onTimer = [&] {
        notice.setEnabled(false);
        other.setBackColor(kYellow);
        world.backend.messageBox(form.hwnd(), "Feed is bad", "Quillmark", 0x40);
        done = true;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    EXPECT_EQ(seen, qcolor(kYellow)); // read above the capitals, where no face puts ink
}

TEST_F(FormPaintingTest, RefreshPaintsAtOnceWithoutTheEventLoop) {
    auto& widget = world.show(form);
    QCoreApplication::processEvents();
    other.setBackColor(kYellow);
    other.refresh();
    EXPECT_EQ(screenImage(widget).pixelColor(pixels(other).center().x(), pixels(other).top()),
              qcolor(kYellow));
}

} // namespace
} // namespace quill::testing
