#pragma once

#include "forms/qt/LinuxDesktop.h"
#include "forms/qt/QtBackend.h"
#include "support/QuietForm1.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace quill::testing {

// The Qt backend and the Linux desktop, made before the bar that uses them.
struct QtBarWorld {
    explicit QtBarWorld(QApplication& application) : world(application) {}

    struct World {
        explicit World(QApplication& application) : qapp(application) { backend.attach(app); }
        QApplication& qapp;
        forms::qt::QtBackend backend;
        forms::qt::LinuxDesktop desktop{backend};
        forms::Application app{backend, desktop};
    } world;
};

// The quiet bar on the Qt backend and its desktop, its window on the screen.
struct QuietBar : QtBarWorld, QuietForm1 {
    explicit QuietBar(QApplication& application) : QtBarWorld(application), QuietForm1(world.app) {
        widget = world.backend.widgetFor(form1->hwnd());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget));
    }

    forms::qt::FormWidget* widget = nullptr;
};

} // namespace quill::testing
