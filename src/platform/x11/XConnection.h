#pragma once

#include "platform/Desktop.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace quill::platform::x11 {

// One connection to an X server and the few requests we make on it. A request on a window
// that has gone away fails quietly: such windows are simply not there.
class XConnection {
public:
    // Connects to `display`, or to $DISPLAY when it is null; see ok().
    explicit XConnection(const char* display = nullptr);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool ok() const;
    xcb_connection_t* raw() const { return connection_; }
    int fileDescriptor() const;
    xcb_window_t root() const { return root_; }
    int screenWidth() const { return screenWidth_; }
    int screenHeight() const { return screenHeight_; }
    // Reads the screen's size again: RandR changes it while the program runs.
    void readScreenSize();

    xcb_atom_t atom(const std::string& name);

    // A property of 32-bit items (CARDINAL, WINDOW, ATOM...); nullopt when it is not set.
    std::optional<std::vector<std::uint32_t>> property(xcb_window_t window, xcb_atom_t name);
    // The first item of a property holding a window (or atom); 0 when it is not set.
    std::uint32_t firstItem(xcb_window_t window, xcb_atom_t name);
    void setProperty(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                     std::span<const std::uint32_t> values);
    void deleteProperty(xcb_window_t window, xcb_atom_t name);
    // A client message about `window` to the window manager, as EWMH asks for mapped windows.
    void sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data);

    bool exists(xcb_window_t window);
    // Mapped (viewable or not): its state belongs to the window manager now.
    bool mapped(xcb_window_t window);
    // The window's rectangle on the screen, whoever its parent is.
    std::optional<Rect> screenRect(xcb_window_t window);
    void selectInput(xcb_window_t window, std::uint32_t eventMask);
    void grabServer();
    void ungrabServer();

    void flush();
    // Waits until the server has handled every request sent so far.
    void sync();

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    std::map<std::string, xcb_atom_t> atoms_;
};

} // namespace quill::platform::x11
