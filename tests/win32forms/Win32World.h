#pragma once

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/win32/Win32Backend.h"
#include "support/FakeDesktop.h"

#include <functional>
#include <gtest/gtest.h>
#include <windows.h>

namespace quill::testing {

// The Win32 backend on a real (Wine) window station. Its windows need an X display: the test run
// starts Xvfb and a window manager and exports DISPLAY; without one the tests skip.
class Win32World : public ::testing::Test {
protected:
    Win32World() { backend.attach(app); }

    void SetUp() override {
        if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
            GTEST_SKIP() << "no X display for Wine's windows";
        }
    }

    // Shows the form without the desktop, which these tests do not have, and paints it.
    void show(forms::Form& form);
    // Waits for events until `done` holds or two seconds pass; false on time-out.
    bool waitUntil(const std::function<bool()>& done);
    // The pixel at a point of the form's client area, as the window shows it.
    COLORREF pixel(const forms::Form& form, int x, int y);
    // Left press and release at a point of a window's client area, through its message queue.
    static void postClick(HWND hwnd, int x, int y);

    FakeDesktop desktop;
    forms::win32::Win32Backend backend;
    forms::Application app{backend, desktop};
};

inline HWND toHwnd(platform::Hwnd hwnd) {
    return reinterpret_cast<HWND>(hwnd);
}

} // namespace quill::testing
