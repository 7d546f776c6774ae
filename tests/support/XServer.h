#pragma once

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

// A private X server (Xvfb, one screen, 1280x1024 at 96 dpi) managed by openbox, for tests that
// need a real window manager. Both processes end with the object.
class XServer {
public:
    using Values = std::vector<std::uint32_t>;

    // Xvfb and openbox are on PATH.
    static bool installed();

    // Starts both and waits until openbox manages the screen; throws when that fails. The screen
    // and the desktop's resources (Xft.dpi) claim `dpi` dots per inch, and the screen has as many
    // more pixels as a screen of that density and the same size in inches.
    explicit XServer(int dpi = 96);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

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
    bool waitUntilManaging(std::chrono::milliseconds timeout);
    void stop();

    pid_t xvfb_ = -1;
    pid_t openbox_ = -1;
    std::string display_;
    std::unique_ptr<platform::x11::XConnection> x_;
};

} // namespace quill::testing
