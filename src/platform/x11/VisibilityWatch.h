#pragma once

#include "platform/Desktop.h"

#include <functional>
#include <map>
#include <memory>

namespace quill::platform::x11 {

class XConnection;

// Whether anyone can see a window, as the X server knows it: not while the window is covered
// whole (VisibilityNotify), nor while the screen saver blanks or locks the screen (the
// MIT-SCREEN-SAVER extension; X.Org also turns it on when DPMS powers the display down). A
// connection of its own, so the toolkit's event masks are left alone.
class VisibilityWatch {
public:
    // Null when there is no X server.
    static std::unique_ptr<VisibilityWatch> connect();
    explicit VisibilityWatch(std::unique_ptr<XConnection> x);
    ~VisibilityWatch();
    VisibilityWatch(const VisibilityWatch&) = delete;
    VisibilityWatch& operator=(const VisibilityWatch&) = delete;

    // Follows the window from now on; it counts as seen until the server says otherwise.
    void watch(Hwnd window);
    void forget(Hwnd window);
    bool seen(Hwnd window) const;

    int fileDescriptor() const;
    // Reads what arrived and reports the windows whose answer changed.
    void processEvents();
    std::function<void(Hwnd window, bool seen)> changed;

private:
    void watchScreenSaver();
    bool screenSaverOn();
    // Runs `change`, then reports every window whose answer it changed.
    template <typename Change> void reporting(Change&& change);

    std::unique_ptr<XConnection> x_;
    std::map<Hwnd, bool> covered_;
    bool blanked_ = false;
    // The extension's first event code; 0 when the server has no screen saver extension.
    int screenSaverEvent_ = 0;
};

} // namespace quill::platform::x11
