#include "support/XServer.h"

#include "platform/x11/XConnection.h"
#include "support/Eventually.h"
#include "support/Programs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <signal.h>
#include <span>
#include <spawn.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quill::testing {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

// Starts a program with its output discarded; `keepFd`, when not -1, becomes fd 3 in it.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int keepFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (keepFd != -1) {
        posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
    }
    std::vector<char*> argv;
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& entry : env) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(failed));
    }
    return pid;
}

// The test's own environment with these entries added or replaced.
std::vector<std::string> environmentWith(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!changes.contains(std::string(text.substr(0, text.find('='))))) {
            env.emplace_back(text);
        }
    }
    for (const auto& [name, value] : changes) {
        env.push_back(name + "=" + value);
    }
    return env;
}

// Starts a program that writes one line to fd 3 once it is ready (Xvfb its display number,
// dbus-daemon its address) and returns that line.
std::string startReporting(const std::vector<std::string>& args,
                           const std::vector<std::string>& env, Clock::time_point deadline,
                           pid_t& pid) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    try {
        pid = spawn(args, env, pipeFds[1]);
    } catch (...) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw;
    }
    ::close(pipeFds[1]);
    std::string line;
    for (;;) {
        pollfd ready{pipeFds[0], POLLIN, 0};
        char c = 0;
        if (::poll(&ready, 1, millisecondsUntil(deadline)) <= 0 || ::read(pipeFds[0], &c, 1) != 1) {
            ::close(pipeFds[0]);
            throw std::runtime_error(args[0] + " did not say that it is ready");
        }
        if (c == '\n') {
            ::close(pipeFds[0]);
            return line;
        }
        line += c;
    }
}

// A window manager that ignores SIGTERM must not hang the test.
void endProcess(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    if (!eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; },
                    std::chrono::seconds(5))) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    pid = -1;
}

} // namespace

bool XServer::installed() {
    if (!onPath("Xvfb")) {
        return false;
    }
    try {
        const WindowManager& manager = chosenWindowManager();
        return onPath(manager.program()) && (!manager.needsSessionBus || onPath("dbus-daemon"));
    } catch (const std::invalid_argument&) {
        // Starting the server then fails and says which names there are.
        return true;
    }
}

XServer::XServer(const WindowManager& windowManager, int dpi) : windowManager_(windowManager) {
    // Generous: on a busy machine mutter has taken more than 20 s to take over.
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    try {
        // The same screen in inches at every density: 1280x1024 at 96 dpi.
        const std::string size =
            std::to_string(1280 * dpi / 96) + "x" + std::to_string(1024 * dpi / 96) + "x24";
        display_ = ":" + startReporting({"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp",
                                         "-dpi", std::to_string(dpi), "-screen", "0", size},
                                        environmentWith({{"DISPLAY", ""}}), deadline, xvfb_);
        x_ = std::make_unique<platform::x11::XConnection>(display_.c_str());
        if (!x_->ok()) {
            throw std::runtime_error("cannot connect to Xvfb on " + display_);
        }
        x_->selectInput(x_->root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
        // What xrdb would load: toolkits scale by Xft.dpi, not by the screen's size in inches.
        const std::string resources = "Xft.dpi:\t" + std::to_string(dpi) + "\n";
        xcb_change_property(x_->raw(), XCB_PROP_MODE_REPLACE, x_->root(), XCB_ATOM_RESOURCE_MANAGER,
                            XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(resources.size()),
                            resources.data());
        startWindowManager(deadline);
        if (!waitUntilManaging(std::chrono::milliseconds(millisecondsUntil(deadline)))) {
            throw std::runtime_error(windowManager_.name + " did not take over " + display_);
        }
    } catch (...) {
        stop();
        throw;
    }
}

// In a home of its own the window manager reads none of the user's settings and writes into
// none of them.
void XServer::startWindowManager(Clock::time_point deadline) {
    const std::filesystem::path& home = home_.path();
    for (const char* folder : {".config", ".cache", ".local/share", "run"}) {
        std::filesystem::create_directories(home / folder);
    }
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
    for (const auto& [name, contents] : windowManager_.files) {
        std::filesystem::create_directories((home / name).parent_path());
        home_.write(name, contents);
    }
    std::map<std::string, std::string> env = windowManager_.environment;
    env.insert({{"DISPLAY", display_},
                {"HOME", home.string()},
                {"XDG_CONFIG_HOME", (home / ".config").string()},
                {"XDG_CACHE_HOME", (home / ".cache").string()},
                {"XDG_DATA_HOME", (home / ".local/share").string()},
                {"XDG_RUNTIME_DIR", (home / "run").string()}});
    if (windowManager_.needsSessionBus) {
        env["DBUS_SESSION_BUS_ADDRESS"] =
            startReporting({"dbus-daemon", "--session", "--nofork", "--print-address=3"},
                           environmentWith(env), deadline, sessionBus_);
    }
    windowManagerPid_ = spawn(windowManager_.command, environmentWith(env), -1);
}

// A window manager (openbox at least) announces itself on the root window before it has
// finished starting, and a request that reaches it then can sit unread until something else
// wakes it. Ready is when it manages a window of ours; a root property changed now and then
// wakes it meanwhile.
bool XServer::waitUntilManaging(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    const auto set = [](const Values& v) { return !v.empty(); };
    if (!waitForRootProperty("_NET_SUPPORTING_WM_CHECK", set, timeout)) {
        return false;
    }
    const xcb_window_t probe = xcb_generate_id(x_->raw());
    xcb_create_window(x_->raw(), XCB_COPY_FROM_PARENT, probe, x_->root(), 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(x_->raw(), probe);
    const auto listed = [probe](const Values& v) {
        return std::find(v.begin(), v.end(), probe) != v.end();
    };
    const xcb_atom_t wake = x_->atom("_QUILLMARK_TEST_WAKE");
    bool managing = false;
    for (std::uint32_t nudge = 0; !managing && Clock::now() < deadline; ++nudge) {
        x_->setProperty(x_->root(), wake, XCB_ATOM_CARDINAL, std::span(&nudge, 1));
        managing = waitForRootProperty("_NET_CLIENT_LIST", listed, std::chrono::milliseconds(100));
    }
    x_->deleteProperty(x_->root(), wake);
    xcb_destroy_window(x_->raw(), probe);
    const auto left = std::chrono::milliseconds(millisecondsUntil(deadline));
    return managing && waitForRootProperty(
                           "_NET_CLIENT_LIST", [](const Values& v) { return v.empty(); }, left);
}

XServer::~XServer() {
    stop();
}

void XServer::stop() {
    x_.reset();
    endProcess(windowManagerPid_);
    endProcess(sessionBus_);
    endProcess(xvfb_);
}

XServer::Values XServer::rootProperty(const std::string& name) {
    return x_->property(x_->root(), x_->atom(name)).value_or(Values{});
}

bool XServer::waitForRootProperty(const std::string& name,
                                  const std::function<bool(const Values&)>& accept,
                                  std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (accept(rootProperty(name))) {
            return true;
        }
        bool changed = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(x_->raw())) {
            std::free(event);
            changed = true;
        }
        if (changed) {
            continue;
        }
        const int left = millisecondsUntil(deadline);
        if (left == 0) {
            return false;
        }
        pollfd ready{x_->fileDescriptor(), POLLIN, 0};
        ::poll(&ready, 1, left);
    }
}

} // namespace quill::testing
