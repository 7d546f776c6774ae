#include "QtWorld.h"
#include "forms/Form.h"
#include "forms/Timer.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <vector>

namespace quill::testing {
namespace {

struct EventLoopTest : ::testing::Test {
    QtWorld world;
    forms::Form form{world.app, "Form", "Form", 4800, 3600};
};

TEST_F(EventLoopTest, TimersTickOnTheRealEventLoopNeverBeforeTheyAreDue) {
    forms::Timer timer(form, "T", 20, false);
    std::vector<double> ticks;
    timer.onTimer = [&] { ticks.push_back(world.backend.now()); };
    const double start = world.backend.now();
    timer.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 3; }, 5000));
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i], start + 20.0 * static_cast<double>(i + 1));
    }
}

TEST_F(EventLoopTest, ShortTimersEnabledAtDifferentMomentsTickInTheSamePass) {
    forms::Timer first(form, "First", 1, false);
    forms::Timer second(form, "Second", 1, false);
    QElapsedTimer wall;
    wall.start();
    std::vector<double> firstTicks, secondTicks;
    const auto at = [&wall] { return static_cast<double>(wall.nsecsElapsed()) / 1e6; };
    first.onTimer = [&] { firstTicks.push_back(at()); };
    second.onTimer = [&] { secondTicks.push_back(at()); };
    first.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return at() >= 6; }, 1000));
    second.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondTicks.size() >= 5; }, 5000));
    for (const double tick : secondTicks) {
        const auto nearest =
            std::min_element(firstTicks.begin(), firstTicks.end(), [tick](double a, double b) {
                return std::abs(a - tick) < std::abs(b - tick);
            });
        ASSERT_NE(nearest, firstTicks.end());
        EXPECT_LT(std::abs(*nearest - tick), 1.0);
    }
}

TEST_F(EventLoopTest, AnEarlierWakeUpReplacesALaterOne) {
    forms::Timer slow(form, "Slow", 60000, true);
    forms::Timer fast(form, "Fast", 20, false);
    int ticks = 0;
    fast.onTimer = [&] { ++ticks; };
    fast.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 5000));
}

TEST_F(EventLoopTest, WaitingForEventsCostsNoProcessorTime) {
    QCoreApplication::processEvents();
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuBefore = std::clock();
    while (wall.elapsed() < 300) {
        world.backend.waitForEvents(static_cast<int>(300 - wall.elapsed()));
    }
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuMs, 60.0);
}

TEST_F(EventLoopTest, TimersTickDuringAWaitAndInputEndsIt) {
    bool ticked = false;
    QTimer::singleShot(20, [&] { ticked = true; });
    QWidget target;
    QTimer::singleShot(150, [&] {
        QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &move);
    });
    QElapsedTimer wall;
    wall.start();
    world.backend.waitForEvents(5000);
    EXPECT_TRUE(ticked);
    EXPECT_GE(wall.elapsed(), 140); // the tick at 20 ms did not end the wait
    EXPECT_LT(wall.elapsed(), 2500);
}

TEST_F(EventLoopTest, AMessageBoxIsModalKeepsTimersTickingAndAnswersOk) {
    forms::Timer timer(form, "T", 20, true);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || ticks < 2) {
            return;
        }
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    closer.start(10);
    QElapsedTimer wall;
    wall.start();
    const int answer = world.backend.messageBox(form.hwnd(), "Feed is bad", "Quillmark", 0x30);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(title, "Quillmark");
    EXPECT_EQ(text, "Feed is bad");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_GE(ticks, 2);
    EXPECT_LT(wall.elapsed(), 10000);
}

} // namespace
} // namespace quill::testing
