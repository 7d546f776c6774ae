#pragma once

#include "forms/win32/Windows.h"

#include <commctrl.h>
#include <string>

namespace quill::forms::win32 {

// The common controls' tool tip with one tracking tool, reused for every tip: it shows where it
// is told and stays until hidden, since a tip over a resting pointer needs no timers of its own.
class TrackingTip {
public:
    TrackingTip() = default;
    ~TrackingTip();
    TrackingTip(const TrackingTip&) = delete;
    TrackingTip& operator=(const TrackingTip&) = delete;

    // pointer in screen pixels; longer lines wrap at maxWidth pixels. Returns the tip's window,
    // or null when it cannot be made.
    HWND show(HWND owner, POINT pointer, const std::wstring& text, int maxWidth);

private:
    bool create(HWND owner);

    HWND window_ = nullptr;
    TTTOOLINFOW tool_{};
    std::wstring text_;
};

} // namespace quill::forms::win32
