#include "support/WindowManager.h"

#include <cstdlib>
#include <stdexcept>

namespace quill::testing {

std::optional<std::string> WindowManager::differsOn(DockingCheck check) const {
    const auto found = differences.find(check);
    if (found == differences.end()) {
        return std::nullopt;
    }
    return found->second;
}

const std::vector<WindowManager>& knownWindowManagers() {
    // Panels of their own would reserve strips too and move the work area the tests compare,
    // so icewm's task bar and fluxbox's toolbar are off; no accessibility bus is started
    // beside the GTK ones.
    static const std::vector<WindowManager> all = {
        {.name = "openbox", .command = {"openbox", "--sm-disable"}},
        {.name = "xfwm4",
         .command = {"xfwm4", "--replace", "--compositor=off", "--sm-client-disable"},
         .environment = {{"NO_AT_BRIDGE", "1"}},
         .needsSessionBus = true},
        {.name = "icewm",
         .command = {"icewm", "--replace"},
         .files = {{".icewm/preferences", "ShowTaskBar=0\n"}},
         .differences = {{DockingCheck::WorkAreaBack,
                          "icewm 3.3 keeps the strut of a window that is gone in the work area "
                          "(a killed xterm with a strut does the same)"}}},
        {.name = "fluxbox",
         .command = {"fluxbox"},
         .files = {{".fluxbox/init", "session.screen0.toolbar.visible: false\n"}}},
        {.name = "mutter",
         .command = {"mutter", "--x11", "--replace", "--sm-disable"},
         .environment = {{"NO_AT_BRIDGE", "1"}, {"GSETTINGS_BACKEND", "memory"}},
         .needsSessionBus = true},
        {.name = "kwin_x11",
         .command = {"kwin_x11", "--replace"},
         .environment = {{"KWIN_COMPOSE", "N"}, {"QT_QPA_PLATFORM", "xcb"}},
         .needsSessionBus = true},
    };
    return all;
}

const WindowManager& windowManagerNamed(std::string_view name) {
    if (name.empty()) {
        name = "openbox";
    }
    std::string known;
    for (const WindowManager& manager : knownWindowManagers()) {
        if (manager.name == name) {
            return manager;
        }
        known += (known.empty() ? "" : ", ") + manager.name;
    }
    throw std::invalid_argument("no window manager called \"" + std::string(name) +
                                "\"; known: " + known);
}

const WindowManager& chosenWindowManager() {
    const char* name = std::getenv("QUILL_WM");
    return windowManagerNamed(name ? name : "");
}

} // namespace quill::testing
