#pragma once

#include "platform/Desktop.h"
#include "platform/x11/XConnection.h"
#include "support/Eventually.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace quill::testing {

struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// What a person sees on the test's X display, read through a connection of the test's own.
class ScreenReader {
public:
    explicit ScreenReader(platform::x11::XConnection& x) : x_(x) {}

    // The managed windows of a process, by their _NET_WM_PID.
    std::vector<xcb_window_t> windowsOf(pid_t pid);
    // The process's dock window, once it is mapped.
    std::optional<xcb_window_t> dockOf(pid_t pid);
    // The work area of the first desktop (left, top, right, bottom).
    platform::Rect workArea();
    bool hasState(xcb_window_t window, const char* state);
    std::vector<Pixel> grab(const platform::Rect& rect);

private:
    platform::x11::XConnection& x_;
};

} // namespace quill::testing
