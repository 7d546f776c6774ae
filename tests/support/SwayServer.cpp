#include "support/SwayServer.h"

#include "support/Eventually.h"
#include "support/Programs.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>
#include <unistd.h>

namespace quill::testing {

namespace {

constexpr uid_t kNobody = 65534;

std::string output(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), &::pclose);
    if (!pipe) {
        return {};
    }
    std::string text;
    std::array<char, 4096> buffer{};
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        text.append(buffer.data(), count);
    }
    return text;
}

} // namespace

bool SwayServer::installed() {
    return onPath("sway") && onPath("swaymsg") && onPath("setpriv");
}

SwayServer::SwayServer() {
    namespace fs = std::filesystem;
    const fs::path run = folder_.path() / "run";
    fs::create_directory(run);
    std::vector<std::string> command = {"sway", "-c", (folder_.path() / "config").string()};
    if (::geteuid() == 0) {
        if (::chown(run.c_str(), kNobody, kNobody) != 0) {
            throw std::runtime_error("cannot hand Sway's runtime folder to nobody");
        }
        command.insert(command.begin(),
                       {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
    }
    fs::permissions(run, fs::perms::owner_all);
    fs::permissions(clientRuntime_.path(), fs::perms::owner_all);
    // A background of the tests' own: Sway's default is not the same in every release.
    folder_.write("config", "output HEADLESS-1 resolution " + std::to_string(kWidth) + "x" +
                                std::to_string(kHeight) +
                                " background #7f7f7f solid_color\nxwayland disable\n");
    ChildProcess::Options options;
    options.environment = {{"HOME", folder_.path().string()}, {"XDG_RUNTIME_DIR", run.string()},
                           {"WAYLAND_DISPLAY", ""},           {"DISPLAY", ""},
                           {"WLR_BACKENDS", "headless"},      {"WLR_LIBINPUT_NO_DEVICES", "1"},
                           {"WLR_RENDERER", "pixman"}};
    options.output = folder_.path() / "sway.log";
    sway_ = std::make_unique<ChildProcess>(command, options);
    const bool ready = eventually(
        [&] {
            if (!sway_->running()) {
                return true;
            }
            for (const auto& entry : fs::directory_iterator(run)) {
                if (entry.path().filename().string().starts_with("sway-ipc.")) {
                    ipcSocket_ = entry.path().string();
                }
            }
            return !ipcSocket_.empty() && fs::exists(run / "wayland-1") && usableArea();
        },
        std::chrono::seconds(10));
    if (!ready || !sway_->running()) {
        throw std::runtime_error("Sway did not start; see " + options.output.string());
    }
}

std::map<std::string, std::string> SwayServer::clientEnvironment() const {
    return {{"WAYLAND_DISPLAY", (folder_.path() / "run" / "wayland-1").string()},
            {"XDG_RUNTIME_DIR", clientRuntime_.path().string()},
            {"DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""}};
}

std::string SwayServer::swaymsg(const std::string& type) const {
    return output("swaymsg -s '" + ipcSocket_ + "' -r -t " + type + " 2>/dev/null");
}

std::optional<platform::Rect> SwayServer::usableArea() const {
    // The first "rect" of the first workspace; "deco_rect" and the others do not match.
    static const std::regex rect(
        R"re("rect": \{\s*"x": (-?\d+),\s*"y": (-?\d+),\s*"width": (\d+),\s*"height": (\d+))re");
    const std::string answer = swaymsg("get_workspaces");
    std::smatch found;
    if (!std::regex_search(answer, found, rect)) {
        return std::nullopt;
    }
    const int x = std::stoi(found[1]), y = std::stoi(found[2]);
    return platform::Rect{x, y, x + std::stoi(found[3]), y + std::stoi(found[4])};
}

std::string SwayServer::runClient(const std::string& command) const {
    std::string environment;
    for (const auto& [name, value] : clientEnvironment()) {
        environment += name + "='" + value + "' ";
    }
    return output("env " + environment + command + " 2>/dev/null");
}

std::string SwayServer::screenshot(const platform::Rect& rect) const {
    const std::string geometry = std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
                                 std::to_string(rect.width()) + "x" + std::to_string(rect.height());
    return runClient("grim -t ppm -g '" + geometry + "' -");
}

} // namespace quill::testing
