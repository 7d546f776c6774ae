#pragma once

#include "platform/Desktop.h"

#include <cstdint>
#include <xcb/xcb.h>

namespace quill::platform::x11 {

// A window's picture kept on the X server: a child window whose background is a pixmap that the
// program draws into. The server repaints the window from the pixmap whenever it is uncovered and
// moves a part of it by a copy of its own, so neither costs the program a wake-up or sends the
// pixels again. The child takes no input: the pointer acts on the parent as if it were not there.
// Rectangles are in the picture's pixels, its top left corner at (0, 0).
class ServerPicture {
public:
    // Works on the caller's connection, which must outlive it; see ok().
    ServerPicture(xcb_connection_t* connection, xcb_window_t parent);
    ~ServerPicture();
    ServerPicture(const ServerPicture&) = delete;
    ServerPicture& operator=(const ServerPicture&) = delete;

    // False when the server lacks input shapes or the parent's pixels are not 0x00RRGGBB in 32
    // bits, the only form put() takes; nothing is made then.
    bool ok() const { return window_ != 0; }

    // Covers `area` of the parent. A new size starts a picture whose pixels are undefined: true
    // then, and the caller puts every pixel before presenting.
    bool place(const Rect& area);
    void setShown(bool shown);
    bool shown() const { return shown_; }
    // Moves the pixels inside `area` by (dx, dy); what leaves `area` is dropped.
    void scroll(const Rect& area, int dx, int dy);
    // Writes pixels (0x00RRGGBB, `stride` bytes a row) into `area`.
    void put(const std::uint32_t* pixels, int stride, const Rect& area);
    // Shows on the screen what the picture now holds in `area`.
    void present(const Rect& area);
    void flush();

    // Pixels put since the picture was made: what the program had to send.
    long long pixelsPut() const { return pixelsPut_; }

private:
    bool suitable(xcb_window_t parent);

    xcb_connection_t* connection_;
    xcb_window_t window_ = 0;
    xcb_pixmap_t pixmap_ = 0;
    xcb_gcontext_t gc_ = 0;
    std::uint8_t depth_ = 0;
    Rect area_{};
    bool shown_ = false;
    long long pixelsPut_ = 0;
};

} // namespace quill::platform::x11
