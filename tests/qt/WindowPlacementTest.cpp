#include "QtWorld.h"
#include "forms/Form.h"

#include <QScreen>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

TEST(WindowPlacementTest, AWindowOpensInTheMiddleOfThePrimaryScreen) {
    QtWorld world;
    forms::Form form{world.app, "Options", "Options", 6000, 3000};
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect window = world.widget(form).geometry();
    EXPECT_LE(std::abs(window.center().x() - screen.center().x()), 1) << window.x();
    EXPECT_LE(std::abs(window.center().y() - screen.center().y()), 1) << window.y();
    EXPECT_EQ(world.show(form).geometry(), window) << "shown where it was made";

    // One larger than the screen starts at its top left corner, title bar and all.
    forms::Form huge{world.app, "Huge", "Huge", 3.0f * 15 * screen.width(), 3000};
    EXPECT_EQ(world.widget(huge).geometry().topLeft().x(), screen.left());
}

} // namespace
} // namespace quill::testing
