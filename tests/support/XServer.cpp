#include "support/XServer.h"

#include "platform/x11/XConnection.h"
#include "support/Programs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <span>
#include <spawn.h>
#include <stdexcept>
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

std::vector<std::string> environmentWith(const std::string& name, const std::string& value) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, (name + "=").c_str(), name.size() + 1) != 0) {
            env.emplace_back(*entry);
        }
    }
    env.push_back(name + "=" + value);
    return env;
}

// Xvfb writes the display number it chose, then a line feed, once it accepts clients.
std::string readDisplayNumber(int fd, Clock::time_point deadline) {
    std::string number;
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, millisecondsUntil(deadline)) <= 0) {
            throw std::runtime_error("Xvfb did not report its display");
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1) {
            throw std::runtime_error("Xvfb ended before reporting its display");
        }
        if (c == '\n') {
            return number;
        }
        number += c;
    }
}

void endProcess(pid_t& pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
    }
}

} // namespace

bool XServer::installed() {
    return onPath("Xvfb") && onPath("openbox");
}

XServer::XServer(int dpi) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    try {
        // The same screen in inches at every density: 1280x1024 at 96 dpi.
        const std::string size =
            std::to_string(1280 * dpi / 96) + "x" + std::to_string(1024 * dpi / 96) + "x24";
        xvfb_ = spawn({"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-dpi",
                       std::to_string(dpi), "-screen", "0", size},
                      environmentWith("DISPLAY", ""), pipeFds[1]);
        ::close(pipeFds[1]);
        pipeFds[1] = -1;
        display_ = ":" + readDisplayNumber(pipeFds[0], deadline);
        ::close(pipeFds[0]);
        pipeFds[0] = -1;

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
        openbox_ = spawn({"openbox", "--sm-disable"}, environmentWith("DISPLAY", display_), -1);
        if (!waitUntilManaging(std::chrono::seconds(20))) {
            throw std::runtime_error("openbox did not take over " + display_);
        }
    } catch (...) {
        for (const int fd : pipeFds) {
            if (fd != -1) {
                ::close(fd);
            }
        }
        stop();
        throw;
    }
}

// openbox announces itself on the root window before it has finished starting, and a request
// that reaches it then can sit unread until something else wakes it. Ready is when it manages
// a window of ours; a root property changed now and then wakes it meanwhile.
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
    endProcess(openbox_);
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
