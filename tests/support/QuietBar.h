#pragma once

#include "forms/qt/LinuxDesktop.h"
#include "forms/qt/QtBackend.h"
#include "support/FakeRegistry.h"
#include "support/ProgramFixture.h"
#include "support/TempFolder.h"
#include "ticker/Form1.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace quill::testing {

// The real bar on the Qt backend and its desktop, loaded and shown, with its timers stopped and
// its own pointer handlers off: the test runs the ticks and starts the holds itself.
struct QuietBar {
    explicit QuietBar(QApplication& application) : world(application) {
        folder.write("links.ryx", "20\r\nTrue\r\n");
        form1 = std::make_unique<ticker::Form1>(services);
        form1->Form_Load();
        for (forms::Timer* timer :
             {&form1->Timer1, &form1->Timer2, &form1->Timer3, &form1->Timer8, &form1->Timer9}) {
            timer->setEnabled(false);
        }
        form1->onMouseMove = nullptr;
        for (int n = 1; n <= ticker::Form1::kSlots; ++n) {
            form1->headline(n).onMouseMove = nullptr;
        }
        form1->setVisible(true);
        widget = world.backend.widgetFor(form1->hwnd());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget));
    }

    struct World {
        explicit World(QApplication& application) : qapp(application) { backend.attach(app); }
        QApplication& qapp;
        forms::qt::QtBackend backend;
        forms::qt::LinuxDesktop desktop{backend};
        forms::Application app{backend, desktop};
    } world;
    TempFolder folder;
    FakeHttp http;
    RecordingBrowser browser;
    FakeRegistry registry;
    std::unique_ptr<platform::CodePage> codePage = platform::makeUtf8CodePage();
    Services services{world.app, http, browser, registry, *codePage, folder.path(), [](int) {}};
    std::unique_ptr<ticker::Form1> form1;
    forms::qt::FormWidget* widget = nullptr;
};

} // namespace quill::testing
