#include "Desktop.h"
#include "support/ChildProcess.h"
#include "support/LocalHttpServer.h"
#include "support/TempFolder.h"
#include "support/XServer.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace quill::testing {
namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
constexpr int kBar = 13;
// More than the Options and X boxes at the bar's right end take.
constexpr int kBoxesWidth = 120;

// Much brighter than the bar's dark background: headline text.
bool isText(const Pixel& p) {
    return p.r > 180 && p.g > 180 && p.b > 180;
}
// The loading notice's amber.
bool isNotice(const Pixel& p) {
    return p.r > 200 && p.g > 150 && p.g < 230 && p.b < 140;
}
bool isBarBackground(const Pixel& p) {
    return p.r < 60 && p.g < 60 && p.b < 70;
}

std::string feed(const std::string& name, int items) {
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

// The real program on a private display with openbox, fed by a local server.
struct BarOnDesktopTest : ::testing::Test {
    void SetUp() override {
        if (!XServer::installed()) {
            GTEST_SKIP() << "Xvfb or openbox is not installed";
        }
        server = std::make_unique<XServer>();
        x = std::make_unique<platform::x11::XConnection>(server->display().c_str());
        ASSERT_TRUE(x->ok());
        screen = std::make_unique<ScreenReader>(*x);
        feeds.serve("/world.xml", feed("World", 4));
        feeds.serve("/science.xml", feed("Science", 4));
    }

    // Starts the program in a folder of its own with these settings lines and the two feeds.
    std::unique_ptr<ChildProcess> startBar(const std::string& edgeLine, TempFolder& folder) {
        folder.write("links.ryx", "20\r\n" + edgeLine + "\r\n" + feeds.url("/world.xml") + "\r\n" +
                                      feeds.url("/science.xml") + "\r\n");
        folder.write("rep.ini", "\r\n");
        ChildProcess::Options options;
        options.workingDirectory = folder.path();
        options.environment = {{"DISPLAY", server->display()},
                               {"XDG_CONFIG_HOME", folder.path().string()},
                               {"QT_QPA_PLATFORM", "xcb"}};
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

    bool workAreaIs(const platform::Rect& expected) {
        return eventually([&] { return screen->workArea() == expected; });
    }

    // The bar may still be sliding into place.
    bool windowComesTo(xcb_window_t window, const platform::Rect& expected) {
        return eventually([&] { return x->screenRect(window) == expected; });
    }

    int pixelsWhere(const platform::Rect& rect, bool (*matches)(const Pixel&)) {
        const std::vector<Pixel> pixels = screen->grab(rect);
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), matches));
    }

    std::unique_ptr<XServer> server;
    std::unique_ptr<platform::x11::XConnection> x;
    std::unique_ptr<ScreenReader> screen;
    LocalHttpServer feeds;
    TempFolder home;
};

TEST_F(BarOnDesktopTest, ATopBarReservesItsStripAndScrollsHeadlines) {
    auto program = startBar("True", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    EXPECT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}))
        << "work area " << screen->workArea().top;
    const platform::Rect strip{0, 0, kScreenWidth, kBar};
    EXPECT_TRUE(windowComesTo(dock, strip));

    // Both feeds were fetched, the notice went with the first load, and headlines came in from
    // the right past the Options and X boxes, whose own text does not count.
    ASSERT_TRUE(eventually([&] { return feeds.requestCount() >= 2; }));
    EXPECT_TRUE(eventually([&] { return pixelsWhere(strip, isNotice) == 0; }))
        << "the loading notice is still showing";
    const platform::Rect headlines{0, 0, kScreenWidth - kBoxesWidth, kBar};
    ASSERT_TRUE(eventually([&] { return pixelsWhere(headlines, isText) > 40; }))
        << "no headline text on the bar";
    // The background between headlines is the bar's dark colour.
    EXPECT_GT(pixelsWhere(strip, isBarBackground), kScreenWidth * kBar / 2);
    EXPECT_TRUE(program->running());
}

TEST_F(BarOnDesktopTest, ABottomBarReservesTheBottomStrip) {
    auto program = startBar("False", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);
    EXPECT_TRUE(workAreaIs({0, 0, kScreenWidth, kScreenHeight - kBar}));
    EXPECT_TRUE(windowComesTo(dock, {0, kScreenHeight - kBar, kScreenWidth, kScreenHeight}));
}

TEST_F(BarOnDesktopTest, AMaximisedWindowStaysClearOfTheBar) {
    for (const bool top : {true, false}) {
        TempFolder folder;
        auto program = startBar(top ? "True" : "False", folder);
        ASSERT_NE(waitForDock(*program), 0u);
        const platform::Rect free = top ? platform::Rect{0, kBar, kScreenWidth, kScreenHeight}
                                        : platform::Rect{0, 0, kScreenWidth, kScreenHeight - kBar};
        ASSERT_TRUE(workAreaIs(free));
        ChildProcess::Options options;
        options.environment = {{"DISPLAY", server->display()}};
        ChildProcess terminal({"xterm", "-maximized", "-e", "sleep", "60"}, options);
        std::optional<platform::Rect> window;
        ASSERT_TRUE(eventually([&] {
            const auto windows = screen->windowsOf(terminal.pid());
            window = windows.empty() ? std::nullopt : x->screenRect(windows.front());
            return window && window->height() > kScreenHeight / 2;
        }));
        EXPECT_GE(window->top, free.top) << (top ? "top" : "bottom");
        EXPECT_LE(window->bottom, free.bottom) << (top ? "top" : "bottom");
    }
}

TEST_F(BarOnDesktopTest, TwoBarsOnTheSameEdgeStack) {
    TempFolder secondHome;
    auto first = startBar("True", home);
    const xcb_window_t firstDock = waitForDock(*first);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    auto second = startBar("True", secondHome);
    const xcb_window_t secondDock = waitForDock(*second);
    ASSERT_TRUE(workAreaIs({0, 2 * kBar, kScreenWidth, kScreenHeight}));
    EXPECT_TRUE(windowComesTo(firstDock, {0, 0, kScreenWidth, kBar}));
    EXPECT_TRUE(windowComesTo(secondDock, {0, kBar, kScreenWidth, 2 * kBar}));
}

TEST_F(BarOnDesktopTest, AFullScreenWindowPutsTheBarBelowUntilItGoes) {
    auto program = startBar("True", home);
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_TRUE(eventually([&] { return screen->hasState(dock, "_NET_WM_STATE_ABOVE"); }));

    const xcb_window_t video = xcb_generate_id(x->raw());
    xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(x->raw())).data;
    xcb_create_window(x->raw(), XCB_COPY_FROM_PARENT, video, root->root, 0, 0, 640, 480, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, root->root_visual, 0, nullptr);
    const std::uint32_t fullscreen = x->atom("_NET_WM_STATE_FULLSCREEN");
    x->setProperty(video, x->atom("_NET_WM_STATE"), XCB_ATOM_ATOM, {&fullscreen, 1});
    xcb_map_window(x->raw(), video);
    x->flush();
    EXPECT_TRUE(eventually([&] {
        return screen->hasState(dock, "_NET_WM_STATE_BELOW") &&
               !screen->hasState(dock, "_NET_WM_STATE_ABOVE");
    })) << "the bar stayed on top of a full-screen window";

    xcb_destroy_window(x->raw(), video);
    x->flush();
    EXPECT_TRUE(eventually([&] {
        return screen->hasState(dock, "_NET_WM_STATE_ABOVE") &&
               !screen->hasState(dock, "_NET_WM_STATE_BELOW");
    })) << "the bar did not come back on top";
}

TEST_F(BarOnDesktopTest, KillingTheProgramGivesTheWorkAreaBack) {
    auto program = startBar("True", home);
    ASSERT_NE(waitForDock(*program), 0u);
    ASSERT_TRUE(workAreaIs({0, kBar, kScreenWidth, kScreenHeight}));
    program->stop(SIGKILL);
    EXPECT_TRUE(workAreaIs({0, 0, kScreenWidth, kScreenHeight}));
}

} // namespace
} // namespace quill::testing
