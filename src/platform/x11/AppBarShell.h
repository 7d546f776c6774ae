#pragma once

#include "platform/Desktop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace quill::platform::x11 {

// The shell's side of the app-bar protocol for the windows of one display.
class AppBarShell {
public:
    virtual ~AppBarShell() = default;

    // An ABM_* message, with the same contract as SHAppBarMessage. hWnd is the X window id.
    virtual std::uintptr_t message(std::uint32_t message, AppBarData& data) = 0;
    // HWND_TOPMOST, HWND_BOTTOM or HWND_NOTOPMOST.
    virtual void setZOrder(Hwnd window, Hwnd insertAfter) = 0;
    virtual void setSkipTaskbar(Hwnd window, bool skip) = 0;
    virtual Rect workArea() = 0;
    // Where the shell, not the toolkit, knows a window's place; null when the toolkit knows.
    virtual std::optional<Rect> windowRect(Hwnd) const { return std::nullopt; }

    // A connection the owner's event loop watches; -1 when there is none.
    virtual int fileDescriptor() const = 0;
    // Reads what arrived and sends the notifications it calls for.
    virtual void processEvents() = 0;

    // Delivers a shell notification: (bar, callback message, code, lParam).
    std::function<void(Hwnd, std::uint32_t, WParam, LParam)> notify;
};

// A shell that grants whatever is asked and reserves nothing (no X server, e.g. Qt offscreen).
std::unique_ptr<AppBarShell> makeNullAppBarShell(int screenWidth, int screenHeight);
// The EWMH emulation on the X server named by $DISPLAY; null when there is none.
std::unique_ptr<AppBarShell> makeX11AppBarShell();

} // namespace quill::platform::x11
