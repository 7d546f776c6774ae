#pragma once

#include "platform/Desktop.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace quill::testing {

// A private headless Sway with one 1280x800 output and no XWayland, for tests of the Wayland
// bar. Sway refuses to run as root, so under root it runs as nobody. It ends with the object.
class SwayServer {
public:
    static constexpr int kWidth = 1280, kHeight = 800;

    // sway, swaymsg and setpriv are on PATH.
    static bool installed();

    // Starts Sway and waits until it answers on its socket; throws when that fails.
    SwayServer();
    SwayServer(const SwayServer&) = delete;
    SwayServer& operator=(const SwayServer&) = delete;

    // What a client of this Sway needs in its environment (a runtime folder of its own, since
    // Sway's belongs to another user).
    std::map<std::string, std::string> clientEnvironment() const;
    // The focused workspace's area, which shrinks by the strips that panels reserve; null when
    // Sway does not answer.
    std::optional<platform::Rect> usableArea() const;
    // Runs a shell command as a client of this Sway; what it printed.
    std::string runClient(const std::string& command) const;
    // The output's pixels in this rectangle, by grim, as binary PPM; empty when grim fails.
    std::string screenshot(const platform::Rect& rect) const;
    // Sway's answer to an IPC message of this type (get_tree, get_workspaces...) as JSON.
    std::string swaymsg(const std::string& type) const;

private:
    TempFolder folder_;
    TempFolder clientRuntime_;
    std::string ipcSocket_;
    std::unique_ptr<ChildProcess> sway_;
};

} // namespace quill::testing
