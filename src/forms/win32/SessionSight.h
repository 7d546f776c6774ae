#pragma once

#include "forms/win32/Windows.h"

namespace quill::forms::win32 {

// Whether anyone can see the desktop a window is on: not while the session is locked, nor while
// the display is off. Windows tells each window that asks for it.
class SessionSight {
public:
    SessionSight() = default;
    ~SessionSight() { forget(); }
    SessionSight(const SessionSight&) = delete;
    SessionSight& operator=(const SessionSight&) = delete;

    void watch(HWND window);
    // Before the window goes.
    void forget();

    // A message about the session or the display; true when it changed the answer.
    bool message(UINT message, WPARAM wParam, LPARAM lParam);
    bool seen() const { return !locked_ && displayOn_; }

private:
    HWND window_ = nullptr;
    HPOWERNOTIFY display_ = nullptr;
    bool locked_ = false;
    bool displayOn_ = true;
};

} // namespace quill::forms::win32
