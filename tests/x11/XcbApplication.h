#pragma once

#include <QApplication>

namespace quill::testing {

// The one QApplication of this test program, on the xcb platform of the shared test display.
// Call it only once the display is there.
QApplication& xcbApplication();

} // namespace quill::testing
