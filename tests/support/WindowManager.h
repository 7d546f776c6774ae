#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::testing {

// What the end-to-end tests expect of any window manager that honours struts.
enum class DockingCheck { TopStrip, BottomStrip, MaximisedWindowClear, BarsStack, WorkAreaBack };

// How one window manager runs alone on a bare Xvfb, and where it docks differently from openbox
// by design.
struct WindowManager {
    std::string name{};
    // The first word is the program, which must be on PATH.
    std::vector<std::string> command{};
    std::map<std::string, std::string> environment{};
    // Written into its private home before it starts, by path under that home.
    std::map<std::string, std::string> files{};
    // It gives up without a session bus (its settings or services live there).
    bool needsSessionBus = false;
    std::map<DockingCheck, std::string> differences{};

    const std::string& program() const { return command.front(); }
    // Why `check` does not hold under this window manager; nothing when it should.
    std::optional<std::string> differsOn(DockingCheck check) const;
};

// Every window manager the tests can run, openbox first.
const std::vector<WindowManager>& knownWindowManagers();

// The one of that name; throws std::invalid_argument naming the known ones otherwise. An empty
// name means openbox.
const WindowManager& windowManagerNamed(std::string_view name);

// The one QUILL_WM names, openbox when it is unset.
const WindowManager& chosenWindowManager();

} // namespace quill::testing
