#include "support/Compositor.h"

#include "platform/x11/XConnection.h"
#include "support/Eventually.h"
#include "support/Programs.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace quill::testing {

namespace {

namespace fs = std::filesystem;

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

std::string tool(const std::string& name) {
    return std::string(WAYLAND_CLIENTS) + "/" + name;
}

// A command line's words; none of them holds a space.
std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

const std::string kSize =
    std::to_string(Compositor::kWidth) + "x" + std::to_string(Compositor::kHeight);

// Each kind's own program first, then the tools the tests use with it.
constexpr std::array<const char*, 4> kPrograms{
    "sway swaymsg setpriv grim", "mutter Xwayland dbus-daemon xdotool",
    "kwin_wayland dbus-daemon gdbus", "labwc wlr-randr grim"};

// grim's binary PPM as 32-bit pixels, blue first.
std::string bgraOf(const std::string& ppm) {
    std::istringstream in(ppm);
    std::string magic, bgra;
    int width = 0, height = 0, depth = 0;
    in >> magic >> width >> height >> depth;
    in.get();
    for (std::array<char, 3> rgb{}; in.read(rgb.data(), 3);) {
        bgra += {rgb[2], rgb[1], rgb[0], '\xff'};
    }
    return bgra;
}

// What XWayland's windows show in this rectangle, as 32-bit pixels over black.
std::string xwaylandPicture(const std::string& display, const std::string& authority,
                            const platform::Rect& rect) {
    // xcb reads the key from the environment.
    ::setenv("XAUTHORITY", authority.c_str(), 1);
    platform::x11::XConnection x(display.c_str());
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(x.raw(), xcb_query_tree(x.raw(), x.root()), nullptr), &std::free);
    std::string bgra(static_cast<std::size_t>(4 * rect.width() * rect.height()), '\0');
    // Bottom to top, as they are stacked; X has no pixels of an unmapped window.
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t window = xcb_query_tree_children(tree.get())[i];
        const platform::Rect at = x.screenRect(window).value_or(platform::Rect{});
        const platform::Rect shown{std::max(rect.left, at.left), std::max(rect.top, at.top),
                                   std::min(rect.right, at.right),
                                   std::min(rect.bottom, at.bottom)};
        const int width = shown.width(), height = shown.height();
        if (width <= 0 || height <= 0) {
            continue;
        }
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
            xcb_get_image_reply(x.raw(),
                                xcb_get_image(x.raw(), XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                              shown.left - at.left, shown.top - at.top, width,
                                              height, ~0u),
                                nullptr),
            &std::free);
        for (int row = 0;
             image && xcb_get_image_data_length(image.get()) == 4 * width * height && row < height;
             ++row) {
            std::memcpy(
                &bgra[4 * ((shown.top - rect.top + row) * rect.width() + shown.left - rect.left)],
                xcb_get_image_data(image.get()) + 4 * row * width, 4 * width);
        }
    }
    return x.ok() && tree ? bgra : std::string();
}

} // namespace

std::string Compositor::nameOf(Kind kind) {
    return words(kPrograms[static_cast<std::size_t>(kind)]).front();
}

std::optional<std::string> Compositor::missing(Kind kind) {
    for (const std::string& program : words(kPrograms[static_cast<std::size_t>(kind)])) {
        if (!onPath(program)) {
            return program + " is not installed";
        }
    }
    return std::nullopt;
}

Compositor::Compositor(Kind kind) : kind_(kind) {
    const fs::path run = folder_.path() / "run";
    fs::create_directory(run);
    std::map<std::string, std::string> environment{
        {"HOME", folder_.path().string()}, {"XDG_RUNTIME_DIR", run.string()},
        {"WAYLAND_DISPLAY", ""},           {"DISPLAY", ""},
        {"QT_QPA_PLATFORM", ""},           {"WLR_BACKENDS", "headless"},
        {"WLR_LIBINPUT_NO_DEVICES", "1"},  {"WLR_RENDERER", "pixman"}};
    std::vector<std::string> command;
    if (kind == Kind::Sway) {
        command = {"sway", "-c", (folder_.path() / "config").string()};
        if (::geteuid() == 0) {
            if (::chown(run.c_str(), kNobody, kNobody) != 0) {
                throw std::runtime_error("cannot hand Sway's runtime folder to nobody");
            }
            const auto user = words("setpriv --reuid=65534 --regid=65534 --clear-groups --");
            command.insert(command.begin(), user.begin(), user.end());
        }
        // A background of the tests' own: Sway's default is not the same in every release.
        folder_.write("config", "output HEADLESS-1 resolution " + kSize +
                                    " background #7f7f7f solid_color\nxwayland disable\n");
    } else if (kind == Kind::Labwc) {
        command = {"labwc", "-C", folder_.path().string()};
    } else {
        const fs::path bus = folder_.path() / "bus";
        ChildProcess::Options options;
        options.output = folder_.path() / "bus.log";
        bus_ = std::make_unique<ChildProcess>(
            words("dbus-daemon --session --nofork --address=unix:path=" + bus.string()), options);
        if (!eventually([&] { return fs::exists(bus); })) {
            throw std::runtime_error("no session bus; see " + options.output.string());
        }
        environment["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + bus.string();
        command = words("mutter --headless --wayland --virtual-monitor " + kSize +
                        " --wayland-display wayland-1");
    }
    if (kind == Kind::KWin) {
        // A container may refuse the installed program's file capabilities, and then refuses to
        // run it; a copy has none and needs none. It keeps the name its Qt platform asks for.
        output("cp \"$(command -v kwin_wayland)\" " + folder_.path().string());
        // KWin offers its fake input only to the programs whose desktop entry asks for it.
        fs::create_directories(folder_.path() / ".local/share/applications");
        folder_.write(
            ".local/share/applications/rest-pointer.desktop",
            "[Desktop Entry]\nType=Application\nName=rest_pointer\nExec=" + tool("rest_pointer") +
                "\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n");
        environment["KWIN_SCREENSHOT_NO_PERMISSION_CHECKS"] = "1";
        command = words((folder_.path() / "kwin_wayland").string() + " --virtual --width " +
                        std::to_string(kWidth) + " --height " + std::to_string(kHeight) +
                        " --socket wayland-1 --no-lockscreen --no-global-shortcuts" +
                        " --no-kactivities");
    }
    fs::permissions(run, fs::perms::owner_all);
    fs::permissions(clientRuntime_.path(), fs::perms::owner_all);
    ChildProcess::Options options;
    options.environment = environment;
    options.output = folder_.path() / "compositor.log";
    server_ = std::make_unique<ChildProcess>(command, options);
    // Under load KWin and Mutter take many seconds to come up.
    const bool ready =
        eventually([&] { return !server_->running() || answers(); }, std::chrono::seconds(90));
    if (!ready || !server_->running()) {
        // Its folder goes with it: what it said last goes with the failure.
        const std::string said = folder_.read("compositor.log");
        throw std::runtime_error(
            nameOf(kind) + " did not start; it said: " +
            said.substr(said.size() - std::min<std::size_t>(said.size(), 600)));
    }
}

bool Compositor::answers() {
    const fs::path run = folder_.path() / "run";
    for (const auto& entry : fs::directory_iterator(run)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("sway-ipc.")) {
            ipcSocket_ = entry.path().string();
        } else if (name.starts_with("wayland-") && !name.ends_with(".lock")) {
            socket_ = name;
        } else if (name.starts_with(".mutter-Xwaylandauth")) {
            xAuthority_ = entry.path().string();
        }
    }
    if (kind_ == Kind::Mutter) {
        static const std::regex display(R"(Using public X11 display (:\d+))");
        const std::string text = folder_.read("compositor.log");
        std::smatch found;
        if (!std::regex_search(text, found, display) || xAuthority_.empty()) {
            return false;
        }
        xDisplay_ = found[1];
    } else if (kind_ == Kind::Labwc) {
        // A headless output starts at 1280x720; labwc leaves its size to output tools.
        runClient("wlr-randr --output HEADLESS-1 --custom-mode " + kSize);
    }
    return !socket_.empty() && maximisedSize() == std::pair{kWidth, kHeight};
}

std::map<std::string, std::string> Compositor::clientEnvironment() const {
    return {
        {"WAYLAND_DISPLAY", (folder_.path() / "run" / socket_).string()},
        {"XDG_RUNTIME_DIR", clientRuntime_.path().string()},
        {"DISPLAY", xDisplay_},
        {"XAUTHORITY", xAuthority_},
        {"DBUS_SESSION_BUS_ADDRESS", bus_ ? "unix:path=" + (folder_.path() / "bus").string() : ""},
        {"QT_QPA_PLATFORM", ""}};
}

std::string Compositor::runClient(const std::string& command) const {
    std::string environment;
    for (const auto& [name, value] : clientEnvironment()) {
        environment += name + "='" + value + "' ";
    }
    return output("env " + environment + command + " 2>/dev/null");
}

std::optional<std::pair<int, int>> Compositor::maximisedSize() const {
    // Sway sizes a window only once it has drawn one; its workspace is where one goes.
    if (kind_ == Kind::Sway) {
        const auto area = usableArea();
        return area ? std::optional{std::pair{area->width(), area->height()}} : std::nullopt;
    }
    std::istringstream answer(runClient("timeout 20 '" + tool("maximised_size") + "'"));
    int width = 0, height = 0;
    if (answer >> width >> height && width > 0 && height > 0) {
        return std::pair{width, height};
    }
    return std::nullopt;
}

std::string Compositor::screenshot(const platform::Rect& rect) const {
    const std::string left = std::to_string(rect.left), top = std::to_string(rect.top);
    const std::string width = std::to_string(rect.width()), height = std::to_string(rect.height());
    std::string bgra;
    if (kind_ == Kind::Mutter) {
        bgra = xwaylandPicture(xDisplay_, xAuthority_, rect);
    } else if (kind_ == Kind::KWin) {
        // KWin writes the pixels to the descriptor it is handed from a thread of its own, after
        // it answered; the pipe ends when it is done.
        bgra = runClient("gdbus call -e -d org.kde.KWin -o /org/kde/KWin/ScreenShot2 -m "
                         "org.kde.KWin.ScreenShot2.CaptureArea " +
                         left + " " + top + " 'uint32 " + width + "' 'uint32 " + height +
                         "' '@a{sv} {}' 'handle 3' 3>&1 >/dev/null");
    } else {
        bgra = bgraOf(
            runClient("grim -t ppm -g '" + left + "," + top + " " + width + "x" + height + "' -"));
    }
    return bgra.size() == static_cast<std::size_t>(4 * rect.width() * rect.height()) ? bgra : "";
}

bool Compositor::pointAt(int x, int y, const std::string& click) {
    ChildProcess::Options options;
    options.environment = clientEnvironment();
    options.output = folder_.path() / ("pointer-" + std::to_string(++pointers_) + ".txt");
    if (kind_ == Kind::Mutter) {
        // The bar is a client of XWayland, which takes XTEST's input for its own clients.
        const std::string button = click.empty() ? "" : click == "click" ? " click 1" : " click 3";
        ChildProcess xdotool(
            words("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + button),
            options);
        return eventually([&] { return !xdotool.running(); }, std::chrono::seconds(20));
    }
    // The build's folder may hold a space.
    std::vector<std::string> command =
        words(std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(kWidth) + " " +
              std::to_string(kHeight) + " " + click);
    command.insert(command.begin(), tool("rest_pointer"));
    auto pointer = std::make_unique<ChildProcess>(command, options);
    const bool ready = eventually([&] {
        std::ifstream said(options.output);
        std::string word;
        return !pointer->running() || (said >> word && word == "ready");
    });
    if (!ready || !pointer->running()) {
        return false;
    }
    // The new device comes before the old one goes: the seat is never without one.
    pointer_ = std::move(pointer);
    return true;
}

std::string Compositor::swaymsg(const std::string& type) const {
    return output("swaymsg -s '" + ipcSocket_ + "' -r -t " + type + " 2>/dev/null");
}

std::optional<platform::Rect> Compositor::usableArea() const {
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

} // namespace quill::testing
