#include "QtWorld.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

// A headline slot on a bar, with every pointer handler counting what reaches it.
struct PointerTest : ::testing::Test {
    QtWorld world;
    forms::Form form{world.app, "Bar", "Bar", 6000, 900};
    forms::PictureBox holder{form, "Picture1", 1500, 150, 2000, 450};
    forms::Label label{holder, "Label1", 0, 0, 480, 195, "Headline", true};
    int labelMoves = 0, labelClicks = 0, formMoves = 0;
    forms::qt::FormWidget* widget = nullptr;

    void SetUp() override {
        label.onMouseMove = [this] { ++labelMoves; };
        label.onClick = [this] { ++labelClicks; };
        form.onMouseMove = [this] { ++formMoves; };
        widget = &world.show(form);
    }

    QPoint labelCentre() {
        const float t = world.backend.twipsPerPixelX();
        return {qRound((holder.left() + label.width() / 2) / t),
                qRound((holder.top() + label.height() / 2) / t)};
    }
    QPoint holderMargin() {
        const float t = world.backend.twipsPerPixelX();
        return {qRound((holder.left() + holder.width()) / t) - 2,
                qRound((holder.top() + holder.height()) / t) - 2};
    }
    // Input as the window system delivers it: routed to whatever widget lies under the point.
    void moveTo(QPoint at) { QTest::mouseMove(widget->windowHandle(), at); }
    void clickAt(QPoint at) { QTest::mouseClick(widget->windowHandle(), Qt::LeftButton, {}, at); }
};

TEST_F(PointerTest, MovesReachTheLabelTheSurfaceOrNothingOverAHoldersMargin) {
    moveTo(labelCentre());
    EXPECT_EQ(labelMoves, 1);
    EXPECT_EQ(formMoves, 0);

    moveTo(holderMargin());
    EXPECT_EQ(labelMoves, 1);
    EXPECT_EQ(formMoves, 0);

    moveTo({5, 5});
    EXPECT_EQ(labelMoves, 1);
    EXPECT_EQ(formMoves, 1);
}

TEST_F(PointerTest, APointerThatArrivesWithoutMovingCountsAsAMoveWhereItLands) {
    // A warp or a touch brings only an enter event; no move follows until the pointer moves.
    const auto enterAt = [&](QPoint at) {
        QEnterEvent enter(at, at, widget->mapToGlobal(QPointF(at)));
        QCoreApplication::sendEvent(widget, &enter);
    };
    enterAt(labelCentre());
    EXPECT_EQ(labelMoves, 1);
    enterAt({5, 5});
    EXPECT_EQ(formMoves, 1);
    // Showing a window sends an enter too, with the pointer somewhere else.
    enterAt({5, widget->height() + 40});
    EXPECT_EQ(formMoves, 1);
}

TEST_F(PointerTest, AClickOnTheLabelRunsItsClickHandlerAndElsewhereNothing) {
    clickAt(labelCentre());
    EXPECT_EQ(labelClicks, 1);
    clickAt(holderMargin());
    clickAt({5, 5});
    EXPECT_EQ(labelClicks, 1);
}

TEST_F(PointerTest, AHandlerThatThrowsDoesNotEscapeTheEventLoop) {
    label.onClick = [] { throw std::runtime_error("handler failed"); };
    clickAt(labelCentre());
    label.onClick = [this] { ++labelClicks; };
    clickAt(labelCentre() + QPoint(1, 0));
    EXPECT_EQ(labelClicks, 1);
}

TEST_F(PointerTest, TheCaptionStripIsNotPartOfTheClientArea) {
    widget->setCaptionStrip(true);
    const int strip = widget->captionStripHeight();
    moveTo({5, strip / 2});
    EXPECT_EQ(formMoves, 0);
    moveTo(labelCentre() + QPoint(0, strip));
    EXPECT_EQ(labelMoves, 1);
    clickAt(labelCentre() + QPoint(0, strip));
    EXPECT_EQ(labelClicks, 1);
}

} // namespace
} // namespace quill::testing
