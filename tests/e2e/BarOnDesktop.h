#pragma once

#include "Desktop.h"
#include "support/ChildProcess.h"
#include "support/LocalHttpServer.h"
#include "support/ProcessSample.h"
#include "support/TempFolder.h"
#include "support/XServer.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quill::testing {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
constexpr int kBar = 13;
// More than the Options and X boxes at the bar's right end take.
constexpr int kBoxesWidth = 120;

// Much brighter than the bar's dark background: headline text.
inline bool isText(const Pixel& p) {
    return p.r > 180 && p.g > 180 && p.b > 180;
}
// The first and last columns with headline text in a grab `width` pixels wide; the first is
// `width` and the last 0 when there is none.
inline std::pair<int, int> textColumns(const std::vector<Pixel>& pixels, int width) {
    int first = width, last = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (isText(pixels[i])) {
            const int column = static_cast<int>(i % static_cast<std::size_t>(width));
            first = std::min(first, column);
            last = std::max(last, column);
        }
    }
    return {first, last};
}

// The middle of the rightmost run of text at least 40 columns wide (letters a few columns apart),
// so a headline just entering at the edge, narrower in one face than another, is not it.
inline int middleOfRightmostWords(const std::vector<Pixel>& pixels, int width) {
    std::vector<bool> text(static_cast<std::size_t>(width), false);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        text[i % text.size()] = text[i % text.size()] || isText(pixels[i]);
    }
    constexpr int kLetterGap = 8, kWords = 40;
    for (int right = width - 1, left = width - 1, gap = 0; left >= 0; --left) {
        gap = text[static_cast<std::size_t>(left)] ? 0 : gap + 1;
        if (gap == 0 && !text[static_cast<std::size_t>(right)]) {
            right = left;
        } else if (gap > kLetterGap) {
            if (right - left - gap >= kWords) {
                return (left + gap + right) / 2;
            }
            right = left;
        }
    }
    return 0;
}

// The loading notice's amber.
inline bool isNotice(const Pixel& p) {
    return p.r > 200 && p.g > 150 && p.g < 230 && p.b < 140;
}
inline bool isBarBackground(const Pixel& p) {
    return p.r < 60 && p.g < 60 && p.b < 70;
}

// The strip, without the boxes at the bar's right end.
inline const platform::Rect kStrip{0, 0, kScreenWidth - kBoxesWidth, kBar};

// Whether the program spends next to nothing (a thousandth of a processor) over
// some two-second span: the first span may still hold the work of being covered.
inline bool costsNothing(pid_t pid) {
    return eventually(
        [pid] {
            const auto before = processorNanoseconds(pid);
            const auto start = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(
                std::chrono::seconds(2)); // the span measured, not a wait for an event
            const auto after = processorNanoseconds(pid);
            const std::chrono::duration<double, std::nano> span =
                std::chrono::steady_clock::now() - start;
            return before && after && *after - *before < 0.001 * span.count();
        },
        std::chrono::seconds(20));
}

// Whether `after` shows the strip of `before` moved left by at most `most` pixels: some shift
// puts all but a few of their text pixels on each other.
inline bool movedAtMost(const std::vector<Pixel>& before, const std::vector<Pixel>& after,
                        int most) {
    const int width = kStrip.width();
    if (before.size() != after.size() || before.size() != static_cast<std::size_t>(width * kBar)) {
        return false;
    }
    for (int shift = 0; shift <= most; ++shift) {
        int text = 0, mismatched = 0;
        for (std::size_t row = 0; row < static_cast<std::size_t>(kBar); ++row) {
            for (int column = most; column < width; ++column) {
                const auto at = [&](int c) {
                    return row * static_cast<std::size_t>(width) + static_cast<std::size_t>(c);
                };
                text += isText(before[at(column)]);
                mismatched += isText(before[at(column)]) != isText(after[at(column - shift)]);
            }
        }
        if (text > 0 && mismatched * 20 <= text) {
            return true;
        }
    }
    return false;
}

inline std::string describe(const platform::Rect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

inline std::string feed(const std::string& name, int items) {
    std::string body = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>" + name +
                       " News</title><link>http://127.0.0.1/" + name +
                       "</link><description>All about " + name +
                       "</description><image><url>http://127.0.0.1/logo.png</url><title>" + name +
                       "</title><link>http://127.0.0.1/</link></image>";
    for (int i = 1; i <= items; ++i) {
        body += "<item><title>Headline number " + std::to_string(i) + " from " + name +
                "</title><link>http://127.0.0.1/" + std::to_string(i) +
                "</link><description>Story " + std::to_string(i) + "</description></item>";
    }
    return body + "</channel></rss>";
}

// A PATH whose first folder holds a recording xdg-open: the links the program opens land in
// the folder's opened.txt.
inline std::string withRecordingBrowser(const TempFolder& folder) {
    std::filesystem::create_directories(folder.path() / "bin");
    folder.write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" +
                                     (folder.path() / "opened.txt").string() + "\"\n");
    std::filesystem::permissions(folder.path() / "bin/xdg-open", std::filesystem::perms::owner_all);
    return (folder.path() / "bin").string() + ":" + std::getenv("PATH");
}

// Ends a test as skipped, saying why, where the window manager differs from openbox by design.
#define QUILL_SKIP_WHERE_WM_DIFFERS(check)                                                         \
    do {                                                                                           \
        if (const auto reason = server->windowManager().differsOn(check)) {                        \
            GTEST_SKIP() << server->windowManager().name << ": " << *reason;                       \
        }                                                                                          \
    } while (false)

// The real program on a private display with its window manager (openbox unless QUILL_WM
// names another), fed by a local server.
struct BarOnDesktopTest : ::testing::Test {
    void SetUp() override {
        if (!XServer::installed()) {
            GTEST_SKIP() << "Xvfb or the window manager is not installed";
        }
        server = std::make_unique<XServer>(chosenWindowManager(), screenDpi());
        x = std::make_unique<platform::x11::XConnection>(server->display().c_str());
        ASSERT_TRUE(x->ok());
        screen = std::make_unique<ScreenReader>(*x);
        feeds.serve("/world.xml", feed("World", 4));
        feeds.serve("/science.xml", feed("Science", 4));
    }

    virtual int screenDpi() const { return 96; }

    // Starts the program in a folder of its own with this edge line and these feeds (by default
    // the two good ones), reloading every `interval` minutes.
    std::unique_ptr<ChildProcess> startBar(const std::string& edgeLine, TempFolder& folder,
                                           std::vector<std::string> addresses = {},
                                           const std::string& interval = "20") {
        if (addresses.empty()) {
            addresses = {feeds.url("/world.xml"), feeds.url("/science.xml")};
        }
        std::string links = interval + "\r\n" + edgeLine + "\r\n";
        for (const std::string& address : addresses) {
            links += address + "\r\n";
        }
        folder.write("links.ryx", links);
        folder.write("rep.ini", "\r\n");
        ChildProcess::Options options;
        options.workingDirectory = folder.path();
        options.environment = {{"DISPLAY", server->display()},
                               {"XDG_CONFIG_HOME", folder.path().string()},
                               {"QT_QPA_PLATFORM", "xcb"},
                               {"PATH", withRecordingBrowser(folder)}};
        options.environment.insert(programEnvironment.begin(), programEnvironment.end());
        options.output = folder.path() / "quillmark.log";
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{QUILL_BINARY_DIR "/src/quillmark"}, options);
    }

    xcb_window_t waitForDock(ChildProcess& program) {
        xcb_window_t dock = 0;
        EXPECT_TRUE(eventually([&] {
            const auto found = screen->dockOf(program.pid());
            dock = found.value_or(0);
            return found.has_value();
        })) << "no bar window appeared";
        return dock;
    }

    // Both say what they saw last when it never came, for the window manager matrix's notes.
    ::testing::AssertionResult workAreaIs(const platform::Rect& expected) {
        platform::Rect seen;
        if (eventually([&] { return (seen = screen->workArea()) == expected; })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the work area stayed " << describe(seen) << ", not " << describe(expected);
    }

    // The bar may still be sliding into place.
    ::testing::AssertionResult windowComesTo(xcb_window_t window, const platform::Rect& expected) {
        std::optional<platform::Rect> seen;
        if (eventually([&] { return (seen = x->screenRect(window)) == expected; })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the window stayed at " << (seen ? describe(*seen) : "no place") << ", not "
               << describe(expected);
    }

    void warpPointer(int x0, int y0) {
        xcb_warp_pointer(x->raw(), XCB_NONE, x->root(), 0, 0, 0, 0, static_cast<std::int16_t>(x0),
                         static_cast<std::int16_t>(y0));
        x->flush();
    }

    // Runs xdotool on the display with these arguments, as the user's input; true once it ended.
    bool xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        ChildProcess::Options options;
        options.environment = {{"DISPLAY", server->display()}};
        ChildProcess tool(arguments, options);
        return eventually([&] { return !tool.running(); });
    }

    int pixelsWhere(const platform::Rect& rect, bool (*matches)(const Pixel&)) {
        const std::vector<Pixel> pixels = screen->grab(rect);
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), matches));
    }

    // More for the program's environment, e.g. the fonts it may use.
    std::map<std::string, std::string> programEnvironment;
    std::unique_ptr<XServer> server;
    std::unique_ptr<platform::x11::XConnection> x;
    std::unique_ptr<ScreenReader> screen;
    LocalHttpServer feeds;
    TempFolder home;
};

} // namespace quill::testing
