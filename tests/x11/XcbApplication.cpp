#include "x11/XcbApplication.h"

#include "x11/TestDisplay.h"

namespace quill::testing {

QApplication& xcbApplication() {
    static int argc = 1;
    static char name[] = "test_x11";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "xcb");
        auto* created = new QApplication(argc, argv);
        // Qt ends the program when its display goes away, so it goes first.
        beforeDisplayEnds([created] { delete created; });
        return created;
    }();
    return *application;
}

} // namespace quill::testing
