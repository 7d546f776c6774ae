#pragma once

#include "platform/WindowPicture.h"

#include <cstdint>
#include <xcb/xcb.h>

namespace quill::platform::x11 {

// A window's picture kept on the X server: a child window whose background is a pixmap that the
// program draws into. The server repaints the window from the pixmap whenever it is uncovered and
// moves a part of it by a copy of its own, so neither costs the program a wake-up or sends the
// pixels again. The child takes no input (an empty input shape).
class ServerPicture final : public WindowPicture {
public:
    // Works on the caller's connection, which must outlive it; see ok().
    ServerPicture(xcb_connection_t* connection, xcb_window_t parent);
    ~ServerPicture() override;
    ServerPicture(const ServerPicture&) = delete;
    ServerPicture& operator=(const ServerPicture&) = delete;

    // False when the server lacks input shapes or the parent's pixels are not 0x00RRGGBB in 32
    // bits, the only form put() takes; nothing is made then.
    bool ok() const { return window_ != 0; }

    // The server places in device pixels: the scale does not matter.
    bool place(const Rect& area, int scale) override;
    void setShown(bool shown) override;
    bool shown() const override { return shown_; }
    void scroll(const Rect& area, int dx, int dy) override;
    void put(const std::uint32_t* pixels, int stride, const Rect& area) override;
    void present(const Rect& area) override;
    void flush() override;

private:
    bool suitable(xcb_window_t parent);

    xcb_connection_t* connection_;
    xcb_window_t window_ = 0;
    xcb_pixmap_t pixmap_ = 0;
    xcb_gcontext_t gc_ = 0;
    std::uint8_t depth_ = 0;
    Rect area_{};
    bool shown_ = false;
};

} // namespace quill::platform::x11
