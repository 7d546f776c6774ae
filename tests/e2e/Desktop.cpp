#include "Desktop.h"

#include <cstdlib>
#include <memory>

namespace quill::testing {

std::vector<xcb_window_t> ScreenReader::windowsOf(pid_t pid) {
    std::vector<xcb_window_t> found;
    const auto clients = x_.property(x_.root(), x_.atom("_NET_CLIENT_LIST"));
    if (!clients) {
        return found;
    }
    for (const std::uint32_t window : *clients) {
        if (x_.firstItem(window, x_.atom("_NET_WM_PID")) == static_cast<std::uint32_t>(pid)) {
            found.push_back(window);
        }
    }
    return found;
}

std::optional<xcb_window_t> ScreenReader::dockOf(pid_t pid) {
    for (const xcb_window_t window : windowsOf(pid)) {
        if (x_.firstItem(window, x_.atom("_NET_WM_WINDOW_TYPE")) ==
                x_.atom("_NET_WM_WINDOW_TYPE_DOCK") &&
            x_.mapped(window)) {
            return window;
        }
    }
    return std::nullopt;
}

platform::Rect ScreenReader::workArea() {
    const auto area = x_.property(x_.root(), x_.atom("_NET_WORKAREA"));
    if (!area || area->size() < 4) {
        return {0, 0, x_.screenWidth(), x_.screenHeight()};
    }
    const auto at = [&](std::size_t i) { return static_cast<std::int32_t>((*area)[i]); };
    return {at(0), at(1), at(0) + at(2), at(1) + at(3)};
}

bool ScreenReader::hasState(xcb_window_t window, const char* state) {
    const auto states = x_.property(window, x_.atom("_NET_WM_STATE"));
    if (!states) {
        return false;
    }
    const xcb_atom_t wanted = x_.atom(state);
    for (const std::uint32_t item : *states) {
        if (item == wanted) {
            return true;
        }
    }
    return false;
}

std::vector<Pixel> ScreenReader::grab(const platform::Rect& rect) {
    std::vector<Pixel> pixels;
    const auto cookie = xcb_get_image(
        x_.raw(), XCB_IMAGE_FORMAT_Z_PIXMAP, x_.root(), static_cast<std::int16_t>(rect.left),
        static_cast<std::int16_t>(rect.top), static_cast<std::uint16_t>(rect.width()),
        static_cast<std::uint16_t>(rect.height()), ~0u);
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
        xcb_get_image_reply(x_.raw(), cookie, nullptr), &std::free);
    if (!reply) {
        return pixels;
    }
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    const int length = xcb_get_image_data_length(reply.get());
    // A 24-bit screen comes as 32-bit pixels, blue first.
    for (int i = 0; i + 3 < length; i += 4) {
        pixels.push_back({data[i + 2], data[i + 1], data[i]});
    }
    return pixels;
}

} // namespace quill::testing
