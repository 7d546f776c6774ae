#include "QtWorld.h"
#include "support/QuietBar.h"

#include <QCursor>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace quill::testing {
namespace {

// The bar on the Qt backend with a scripted pointer: a hold on a headline, and what the user
// sees of its tip while it lasts.
struct ToolTipTest : QuietBar, ::testing::Test {
    ToolTipTest() : QuietBar(offscreenApplication()) { pointAt({40, 5}); }

    // The display's own idea follows: the desktop asks it once a move is old.
    void pointAt(QPoint local) {
        QTest::mouseMove(widget->windowHandle(), local);
        QCursor::setPos(widget->mapToGlobal(local));
    }

    const QWidget* shownTip() const {
        const QWidget* tip = world.backend.windowFor(form1->ToolTip.TipWindow);
        return tip != nullptr && tip->isVisible() ? tip : nullptr;
    }

    // Holds on headline 2 and runs `whileShown` once its tip is up; ends the hold there, or
    // after a bound if no tip ever shows.
    void holdUntilTip(const std::function<void(const QWidget&)>& whileShown) {
        bool seen = false;
        QTimer look;
        int looks = 0;
        QObject::connect(&look, &QTimer::timeout, [&] {
            const QWidget* tip = shownTip();
            if (tip != nullptr && !seen) {
                seen = true;
                whileShown(*tip);
            }
            if (seen || ++looks > 250) {
                pointAt({41, 5});
            }
        });
        look.start(20);
        form1->LabelN_MouseMove(2);
        EXPECT_TRUE(seen) << "no tip within five seconds";
    }
};

TEST_F(ToolTipTest, TheDescriptionShowsBesideTheBarWithoutFocusUntilTheHoldEnds) {
    form1->ItemDescription[2] = "<p>Markets &amp; more&#8230;</p>";
    holdUntilTip([&](const QWidget& tip) {
        const auto* label = qobject_cast<const QLabel*>(&tip);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8("Markets & more\u2026"));
        EXPECT_TRUE(tip.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        EXPECT_FALSE(tip.isActiveWindow());
        EXPECT_FALSE(tip.frameGeometry().intersects(widget->frameGeometry()));
        EXPECT_TRUE(widget->screen()->geometry().contains(tip.frameGeometry()));
        EXPECT_LT(tip.height(), 2 * tip.fontMetrics().height()) << "a short text on one line";
    });
    EXPECT_EQ(form1->ToolTip.TipWindow, 0u);
    EXPECT_EQ(shownTip(), nullptr);
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(ToolTipTest, ALongDescriptionWrapsToAReadableWidth) {
    std::string words;
    for (int i = 0; i < 40; ++i) {
        words += "headline words ";
    }
    form1->ItemDescription[2] = words;
    holdUntilTip([&](const QWidget& tip) {
        const int line = tip.fontMetrics().height();
        EXPECT_GE(tip.height(), 3 * line);
        EXPECT_LT(tip.width(), tip.screen()->geometry().width() / 2 + 200);
        EXPECT_GE(tip.width(), tip.fontMetrics().horizontalAdvance(QString("headline words ")) * 3);
    });
}

TEST_F(ToolTipTest, HidingTheBarTakesTheTipAlong) {
    form1->ItemDescription[2] = "Story";
    const QWidget* hiddenWith = nullptr;
    holdUntilTip([&](const QWidget& tip) {
        form1->setVisible(false);
        hiddenWith = tip.isVisible() ? nullptr : &tip;
    });
    EXPECT_NE(hiddenWith, nullptr);
}

} // namespace
} // namespace quill::testing
