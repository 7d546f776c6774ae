#pragma once

#include "support/TempFolder.h"
#include "support/WindowManager.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quill::platform::x11 {
class XConnection;
}

namespace quill::testing {

// A private X server (Xvfb, one screen, 1280x1024 at 96 dpi) managed by the window manager
// QUILL_WM names (openbox by default), for tests that need a real one. Its processes end with
// the object.
class XServer {
public:
    using Values = std::vector<std::uint32_t>;

    // Xvfb and the chosen window manager are on PATH.
    static bool installed();

    // Starts both and waits until the window manager manages the screen; throws when that fails.
    // The screen and the desktop's resources (Xft.dpi) claim `dpi` dots per inch, and the screen
    // has as many more pixels as a screen of that density and the same size in inches.
    explicit XServer(const WindowManager& windowManager = chosenWindowManager(), int dpi = 96);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const WindowManager& windowManager() const { return windowManager_; }
    // The display name, e.g. ":3", for DISPLAY.
    const std::string& display() const { return display_; }

    // A property of the root window in 32-bit items; empty when it is not set.
    Values rootProperty(const std::string& name);
    // Waits until `accept` holds for the root property, looking again at every change of a
    // root property; false when `timeout` passes first.
    bool waitForRootProperty(const std::string& name,
                             const std::function<bool(const Values&)>& accept,
                             std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    void startWindowManager(std::chrono::steady_clock::time_point deadline);
    bool waitUntilManaging(std::chrono::milliseconds timeout);
    void stop();

    const WindowManager& windowManager_;
    TempFolder home_;
    pid_t xvfb_ = -1;
    pid_t sessionBus_ = -1;
    pid_t windowManagerPid_ = -1;
    std::string display_;
    std::unique_ptr<platform::x11::XConnection> x_;
};

} // namespace quill::testing
