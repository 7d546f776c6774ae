#pragma once

#include "platform/Desktop.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace quill::testing {

// A private headless Wayland compositor with one 1280x800 output: Sway (no XWayland; as nobody
// under root, which it refuses), labwc, KWin, or Mutter, where the bar docks on XWayland as on
// X11 (no layer shell). It ends with the object.
class Compositor {
public:
    static constexpr int kWidth = 1280, kHeight = 800;
    enum class Kind { Sway, Mutter, KWin, Labwc };

    static std::string nameOf(Kind kind);
    // Which of its programs or the tests' tools for it is not installed.
    static std::optional<std::string> missing(Kind kind);

    // Starts it and waits until it answers its clients; throws when that fails.
    explicit Compositor(Kind kind = Kind::Sway);
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // What a client needs in its environment (a runtime folder of its own: Sway's is nobody's).
    std::map<std::string, std::string> clientEnvironment() const;
    // The size a maximised window is offered: the output less the strips that panels reserve;
    // null when the compositor does not answer.
    std::optional<std::pair<int, int>> maximisedSize() const;
    // Runs a shell command as a client of this compositor; what it printed.
    std::string runClient(const std::string& command) const;
    // The output's pixels in this rectangle, 32 bits each, blue first; empty when they could not
    // be read.
    // On Mutter, which lends no pixels, what the XWayland windows show there over black.
    std::string screenshot(const platform::Rect& rect) const;
    // Puts the pointer at (x, y) and clicks there when asked ("click" or "right-click"), by a
    // device that stays until the next call; false when that failed.
    bool pointAt(int x, int y, const std::string& click = "");

    // Sway only: its workspace's area, less the strips that panels reserve (null when Sway does
    // not answer), and its answer to an IPC message (get_tree, get_workspaces...) as JSON.
    std::optional<platform::Rect> usableArea() const;
    std::string swaymsg(const std::string& type) const;

private:
    bool answers();

    Kind kind_;
    TempFolder folder_;
    TempFolder clientRuntime_;
    std::string socket_, ipcSocket_, xDisplay_, xAuthority_;
    std::unique_ptr<ChildProcess> bus_, server_, pointer_;
    int pointers_ = 0;
};

} // namespace quill::testing
