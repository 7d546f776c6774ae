#include "forms/qt/KnownPointer.h"

#include "QtWorld.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

// The offscreen cursor stands for the display server's idea of the pointer: one the program is
// told nothing about, as when it moves over another program's window.
TEST(KnownPointerTest, OverAWindowItIsWhereTheLastEventSaidAndOnceGoneTheServerIsAsked) {
    offscreenApplication();
    QWidget window;
    window.setGeometry(100, 100, 300, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    forms::qt::KnownPointer pointer(true);

    QCursor::setPos(700, 500);
    EXPECT_EQ(pointer.position(), QPoint(700, 500)) << "nothing known yet";

    QTest::mouseMove(window.windowHandle(), QPoint(10, 5));
    QCursor::setPos(701, 500);
    EXPECT_EQ(pointer.position(), QPoint(110, 105)) << "answered from the move, not asked";
    // Not processing events: no leave can come, as none does after a menu that held the pointer.
    QTest::qSleep(forms::qt::KnownPointer::kTrustedMs + 10);
    EXPECT_EQ(pointer.position(), QPoint(701, 500)) << "an old move is not trusted";

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_EQ(pointer.position(), QPoint(701, 500)) << "a pointer that left is looked up";

    forms::qt::KnownPointer untold(false);
    EXPECT_EQ(untold.position(), std::nullopt) << "a server that does not tell is not asked";
    QTest::mouseMove(window.windowHandle(), QPoint(20, 5));
    EXPECT_EQ(untold.position(), QPoint(120, 105));
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_EQ(untold.position(), std::nullopt);
}

} // namespace
} // namespace quill::testing
