#pragma once

#include "support/FakeRegistry.h"
#include "support/ProgramFixture.h"
#include "support/TempFolder.h"
#include "ticker/Form1.h"

#include <memory>

namespace quill::testing {

// The real bar on whatever backend `app` drives, loaded and shown, with its timers stopped and
// its own pointer handlers off: the test runs the ticks and starts the holds itself.
struct QuietForm1 {
    explicit QuietForm1(forms::Application& app)
        : services{app, http, browser, registry, *codePage, folder.path(), [](int) {}} {
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
    }

    TempFolder folder;
    FakeHttp http;
    RecordingBrowser browser;
    FakeRegistry registry;
    std::unique_ptr<platform::CodePage> codePage = platform::makeUtf8CodePage();
    Services services;
    std::unique_ptr<ticker::Form1> form1;
};

} // namespace quill::testing
