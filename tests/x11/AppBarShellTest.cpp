#include "platform/x11/AppBarShell.h"

#include "platform/x11/XConnection.h"
#include "x11/TestDisplay.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <tuple>
#include <vector>

namespace quill::platform::x11 {
namespace {

using Values = std::vector<std::uint32_t>;
using Notification = std::tuple<Hwnd, std::uint32_t, WParam, LParam>;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kCallback = 1124;
const Rect kScreen{0, 0, 1280, 1024};

bool has(const Values& values, std::uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Windows of "another program" on their own connection, and our shells, on the shared display.
class AppBarShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        QUILL_REQUIRE_DISPLAY();
        client_ = std::make_unique<XConnection>();
        ASSERT_TRUE(client_->ok());
        client_->selectInput(client_->root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
        shell_ = newShell(notifications_);
    }

    void TearDown() override {
        if (!client_) {
            return;
        }
        shell_.reset();
        other_.reset();
        // Gone before the next test looks: a closed connection's windows go only when the server
        // gets round to it, and a bar still there would stand in the next test's way.
        for (const xcb_window_t window : windows_) {
            xcb_destroy_window(client_->raw(), window);
        }
        client_->sync();
        client_.reset();
        testing::XServer& server = *testing::testDisplay();
        EXPECT_TRUE(server.waitForRootProperty("_NET_CLIENT_LIST",
                                               [](const Values& v) { return v.empty(); }));
        EXPECT_TRUE(server.waitForRootProperty("_NET_WORKAREA", [](const Values& v) {
            return v.size() >= 4 && v[1] == 0 && v[3] == 1024;
        }));
    }

    std::unique_ptr<AppBarShell> newShell(std::vector<Notification>& log) {
        auto shell = makeX11AppBarShell();
        if (shell) {
            shell->notify = [&log](Hwnd bar, std::uint32_t message, WParam code, LParam lParam) {
                log.emplace_back(bar, message, code, lParam);
            };
        }
        return shell;
    }

    xcb_window_t createWindow(const Rect& rect) {
        const xcb_window_t window = xcb_generate_id(client_->raw());
        xcb_create_window(client_->raw(), XCB_COPY_FROM_PARENT, window, client_->root(),
                          static_cast<std::int16_t>(rect.left), static_cast<std::int16_t>(rect.top),
                          static_cast<std::uint16_t>(rect.width()),
                          static_cast<std::uint16_t>(rect.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        client_->sync();
        windows_.push_back(window);
        return window;
    }

    bool managed(xcb_window_t window) { return has(clientList(), window); }
    Values clientList() {
        return client_->property(client_->root(), client_->atom("_NET_CLIENT_LIST"))
            .value_or(Values{});
    }

    // Maps and waits until the window manager has taken the window on.
    void mapAndWait(xcb_window_t window) {
        xcb_map_window(client_->raw(), window);
        client_->flush();
        ASSERT_TRUE(waitUntil([&] { return managed(window); }));
    }
    void unmapAndWait(xcb_window_t window) {
        xcb_unmap_window(client_->raw(), window);
        client_->flush();
        ASSERT_TRUE(waitUntil([&] { return !managed(window); }));
    }

    Values property(xcb_window_t window, const std::string& name) {
        return client_->property(window, client_->atom(name)).value_or(Values{});
    }
    Rect workArea() {
        const Values v = testing::testDisplay()->rootProperty("_NET_WORKAREA");
        if (v.size() < 4) {
            return Rect{};
        }
        return Rect{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]),
                    static_cast<std::int32_t>(v[0] + v[2]), static_cast<std::int32_t>(v[1] + v[3])};
    }

    // Lets every party run until `done` holds: the shells read their events as the program's
    // event loop would. False after five seconds.
    bool waitUntil(const std::function<bool()>& done) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        for (;;) {
            for (AppBarShell* shell : {shell_.get(), other_.get()}) {
                if (shell) {
                    shell->processEvents();
                }
            }
            while (xcb_generic_event_t* event = xcb_poll_for_event(client_->raw())) {
                std::free(event);
            }
            if (done()) {
                return true;
            }
            if (Clock::now() >= deadline) {
                return false;
            }
            std::vector<pollfd> fds{{client_->fileDescriptor(), POLLIN, 0}};
            for (AppBarShell* shell : {shell_.get(), other_.get()}) {
                if (shell) {
                    fds.push_back({shell->fileDescriptor(), POLLIN, 0});
                }
            }
            // Looking at the display can leave events in a connection's queue instead of its
            // socket, so wake now and then to look again.
            ::poll(fds.data(), fds.size(), 50);
        }
    }

    std::uintptr_t send(AppBarShell& shell, std::uint32_t message, xcb_window_t bar,
                        std::uint32_t edge = ABE_TOP, Rect* rect = nullptr, LParam lParam = 0) {
        AppBarData data;
        data.hWnd = bar;
        data.uCallbackMessage = kCallback;
        data.uEdge = edge;
        if (rect) {
            data.rc = *rect;
        }
        data.lParam = lParam;
        const std::uintptr_t result = shell.message(message, data);
        if (rect) {
            *rect = data.rc;
        }
        return result;
    }

    // Registers a bar and docks it on `edge` with `thickness`, as the app bar does; returns its
    // strip.
    Rect dock(AppBarShell& shell, xcb_window_t bar, std::uint32_t edge, int thickness) {
        Rect rect = kScreen;
        send(shell, ABM_QUERYPOS, bar, edge, &rect);
        if (edge == ABE_TOP) {
            rect.bottom = rect.top + thickness;
        } else {
            rect.top = rect.bottom - thickness;
        }
        send(shell, ABM_SETPOS, bar, edge, &rect);
        return rect;
    }

    std::unique_ptr<XConnection> client_;
    std::vector<xcb_window_t> windows_; // made by client_
    std::vector<Notification> notifications_, otherNotifications_;
    std::unique_ptr<AppBarShell> shell_;
    std::unique_ptr<AppBarShell> other_; // a second program of ours
};

TEST_F(AppBarShellTest, NewBarIsADockOnEveryDesktopBeforeItIsMapped) {
    const xcb_window_t bar = createWindow(Rect{100, 100, 500, 113});
    const xcb_window_t plain = createWindow(Rect{100, 300, 500, 400});
    EXPECT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    EXPECT_EQ(send(*shell_, ABM_NEW, bar), 0u) << "a bar registers once";

    const Values types = property(bar, "_NET_WM_WINDOW_TYPE");
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.front(), client_->atom("_NET_WM_WINDOW_TYPE_DOCK"));
    EXPECT_EQ(property(bar, "_NET_WM_DESKTOP"), Values{0xFFFFFFFF});

    // The window manager takes it as a dock: no frame, on all desktops.
    mapAndWait(bar);
    mapAndWait(plain);
    ASSERT_TRUE(waitUntil([&] {
        return property(bar, "_NET_FRAME_EXTENTS").size() == 4 &&
               property(plain, "_NET_FRAME_EXTENTS").size() == 4;
    }));
    EXPECT_EQ(property(bar, "_NET_FRAME_EXTENTS"), (Values{0, 0, 0, 0}));
    EXPECT_NE(property(plain, "_NET_FRAME_EXTENTS"), (Values{0, 0, 0, 0}));
    EXPECT_EQ(property(bar, "_NET_WM_DESKTOP"), Values{0xFFFFFFFF});
}

TEST_F(AppBarShellTest, TopBarReservesItsStripInTheWorkArea) {
    const xcb_window_t bar = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    const Rect strip = dock(*shell_, bar, ABE_TOP, 13);
    EXPECT_EQ(strip, (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(property(bar, "_NET_WM_STRUT_PARTIAL"),
              (Values{0, 0, 13, 0, 0, 0, 0, 0, 0, 1279, 0, 0}));
    EXPECT_EQ(property(bar, "_NET_WM_STRUT"), (Values{0, 0, 13, 0}));

    mapAndWait(bar);
    ASSERT_TRUE(waitUntil([&] {
        return workArea() == Rect{0, 13, 1280, 1024};
    })) << "work area top "
        << workArea().top;
    EXPECT_EQ(shell_->workArea(), (Rect{0, 13, 1280, 1024}));
}

TEST_F(AppBarShellTest, BottomBarReservesItsStripInTheWorkArea) {
    const xcb_window_t bar = createWindow(Rect{0, 1011, 1280, 1024});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    EXPECT_EQ(dock(*shell_, bar, ABE_BOTTOM, 13), (Rect{0, 1011, 1280, 1024}));
    mapAndWait(bar);
    ASSERT_TRUE(waitUntil([&] {
        return workArea() == Rect{0, 0, 1280, 1011};
    })) << "work area bottom "
        << workArea().bottom;
}

TEST_F(AppBarShellTest, EmptyStripOrNoEdgeClearsTheStrut) {
    const xcb_window_t bar = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    dock(*shell_, bar, ABE_TOP, 13);
    mapAndWait(bar);
    ASSERT_TRUE(waitUntil([&] { return workArea().top == 13; }));

    Rect floating{}; // what a floating bar sends
    EXPECT_EQ(send(*shell_, ABM_SETPOS, bar, 5, &floating), 1u);
    EXPECT_TRUE(property(bar, "_NET_WM_STRUT_PARTIAL").empty());
    EXPECT_TRUE(property(bar, "_NET_WM_STRUT").empty());
    EXPECT_TRUE(waitUntil([&] { return workArea() == kScreen; }));
}

TEST_F(AppBarShellTest, QueryIsTrimmedByOtherWindowsStruts) {
    // Another program's panel: a plain strut at the top, a partial one on the left part of
    // the bottom.
    const xcb_window_t panel = createWindow(Rect{0, 0, 1280, 20});
    const Values top{0, 0, 20, 0};
    client_->setProperty(panel, client_->atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, top);
    const xcb_window_t corner = createWindow(Rect{0, 994, 100, 1024});
    const Values bottomLeft{0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 99};
    client_->setProperty(corner, client_->atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL,
                         bottomLeft);
    mapAndWait(panel);
    mapAndWait(corner);

    const xcb_window_t bar = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    Rect rect = kScreen;
    send(*shell_, ABM_QUERYPOS, bar, ABE_TOP, &rect);
    EXPECT_EQ(rect, (Rect{0, 20, 1280, 1024}));
    rect = kScreen;
    send(*shell_, ABM_QUERYPOS, bar, ABE_BOTTOM, &rect);
    EXPECT_EQ(rect.bottom, 994);
    rect = Rect{200, 0, 1280, 1024};
    send(*shell_, ABM_QUERYPOS, bar, ABE_BOTTOM, &rect);
    EXPECT_EQ(rect.bottom, 1024) << "the corner strut lies beside this rectangle";
    rect = kScreen;
    send(*shell_, ABM_QUERYPOS, bar, ABE_LEFT, &rect);
    EXPECT_EQ(rect, kScreen);
}

TEST_F(AppBarShellTest, SecondBarStacksBelowTheFirstAndTheFirstStays) {
    other_ = newShell(otherNotifications_);
    const xcb_window_t first = createWindow(Rect{0, 0, 1280, 13});
    const xcb_window_t second = createWindow(Rect{0, 13, 1280, 26});
    ASSERT_EQ(send(*shell_, ABM_NEW, first), 1u);
    ASSERT_EQ(send(*other_, ABM_NEW, second), 1u);

    EXPECT_EQ(dock(*shell_, first, ABE_TOP, 13), (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(dock(*other_, second, ABE_TOP, 13), (Rect{0, 13, 1280, 26}));
    mapAndWait(first);
    mapAndWait(second);
    ASSERT_TRUE(waitUntil([&] { return workArea().top == 26; }));

    // Each re-docks on the notification; neither is pushed past the other.
    EXPECT_EQ(dock(*shell_, first, ABE_TOP, 13), (Rect{0, 0, 1280, 13}));
    EXPECT_EQ(dock(*other_, second, ABE_TOP, 13), (Rect{0, 13, 1280, 26}));

    // A third bar in the first program goes below both.
    const xcb_window_t third = createWindow(Rect{0, 26, 1280, 39});
    ASSERT_EQ(send(*shell_, ABM_NEW, third), 1u);
    EXPECT_EQ(dock(*shell_, third, ABE_TOP, 13), (Rect{0, 26, 1280, 39}));
}

TEST_F(AppBarShellTest, RemovingTheBarGivesTheWorkAreaBack) {
    const xcb_window_t bar = createWindow(Rect{0, 1011, 1280, 1024});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    dock(*shell_, bar, ABE_BOTTOM, 13);
    mapAndWait(bar);
    ASSERT_TRUE(waitUntil([&] { return workArea().bottom == 1011; }));

    EXPECT_EQ(send(*shell_, ABM_REMOVE, bar), 1u);
    EXPECT_TRUE(property(bar, "_NET_WM_STRUT_PARTIAL").empty());
    EXPECT_TRUE(waitUntil([&] { return workArea() == kScreen; }));
    EXPECT_EQ(send(*shell_, ABM_NEW, bar), 1u) << "a removed bar can register again";
}

TEST_F(AppBarShellTest, BarOfAProgramThatEndedNoLongerHoldsItsStrip) {
    other_ = newShell(otherNotifications_);
    const xcb_window_t gone = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*other_, ABM_NEW, gone), 1u);
    dock(*other_, gone, ABE_TOP, 13);
    mapAndWait(gone);
    ASSERT_TRUE(waitUntil([&] { return workArea().top == 13; }));

    xcb_destroy_window(client_->raw(), gone);
    client_->flush();
    EXPECT_TRUE(waitUntil([&] { return workArea() == kScreen; }));

    const xcb_window_t bar = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    EXPECT_EQ(dock(*shell_, bar, ABE_TOP, 13), (Rect{0, 0, 1280, 13}));
}

TEST_F(AppBarShellTest, OneAutoHideBarPerEdgeAcrossPrograms) {
    other_ = newShell(otherNotifications_);
    const xcb_window_t mine = createWindow(Rect{0, 0, 1280, 13});
    const xcb_window_t theirs = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*shell_, ABM_NEW, mine), 1u);
    ASSERT_EQ(send(*other_, ABM_NEW, theirs), 1u);

    EXPECT_EQ(send(*shell_, ABM_SETAUTOHIDEBAR, mine, ABE_TOP, nullptr, -1), 1u);
    EXPECT_EQ(send(*shell_, ABM_SETAUTOHIDEBAR, mine, ABE_TOP, nullptr, -1), 1u)
        << "claiming again keeps the claim";
    EXPECT_EQ(send(*other_, ABM_GETAUTOHIDEBAR, theirs, ABE_TOP), mine);
    EXPECT_EQ(send(*other_, ABM_SETAUTOHIDEBAR, theirs, ABE_TOP, nullptr, -1), 0u);
    EXPECT_EQ(send(*other_, ABM_SETAUTOHIDEBAR, theirs, ABE_BOTTOM, nullptr, -1), 1u);

    // Withdrawing someone else's edge changes nothing; withdrawing one's own frees it.
    EXPECT_EQ(send(*other_, ABM_SETAUTOHIDEBAR, theirs, ABE_TOP, nullptr, 0), 1u);
    EXPECT_EQ(send(*shell_, ABM_GETAUTOHIDEBAR, mine, ABE_TOP), mine);
    EXPECT_EQ(send(*shell_, ABM_SETAUTOHIDEBAR, mine, ABE_TOP, nullptr, 0), 1u);
    EXPECT_EQ(send(*shell_, ABM_GETAUTOHIDEBAR, mine, ABE_TOP), 0u);
    EXPECT_EQ(send(*other_, ABM_SETAUTOHIDEBAR, theirs, ABE_TOP, nullptr, -1), 1u);

    // A dead window's claim is void.
    xcb_destroy_window(client_->raw(), theirs);
    client_->sync();
    EXPECT_EQ(send(*shell_, ABM_GETAUTOHIDEBAR, mine, ABE_BOTTOM), 0u);
    EXPECT_EQ(send(*shell_, ABM_SETAUTOHIDEBAR, mine, ABE_TOP, nullptr, -1), 1u);
    EXPECT_EQ(send(*shell_, ABM_SETAUTOHIDEBAR, mine, 5, nullptr, -1), 0u);

    // Removing the bar withdraws its claims.
    send(*shell_, ABM_REMOVE, mine);
    EXPECT_EQ(send(*shell_, ABM_GETAUTOHIDEBAR, mine, ABE_TOP), 0u);
}

TEST_F(AppBarShellTest, WorkAreaChangeTellsEveryBar) {
    const xcb_window_t bar = createWindow(Rect{0, 1011, 1280, 1024});
    const xcb_window_t notBar = createWindow(Rect{0, 500, 1280, 600});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    mapAndWait(notBar);
    notifications_.clear();

    const xcb_window_t panel = createWindow(Rect{0, 0, 1280, 20});
    const Values top{0, 0, 20, 0};
    client_->setProperty(panel, client_->atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, top);
    mapAndWait(panel);
    ASSERT_TRUE(waitUntil([&] { return !notifications_.empty(); }));
    EXPECT_EQ(notifications_, (std::vector<Notification>{{bar, kCallback, ABN_POSCHANGED, 0}}));
}

TEST_F(AppBarShellTest, FullScreenActiveWindowIsReportedWhileItLasts) {
    const xcb_window_t bar = createWindow(Rect{0, 1011, 1280, 1024});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    mapAndWait(bar);

    const xcb_window_t video = createWindow(Rect{100, 100, 400, 300});
    const Values fullScreen{client_->atom("_NET_WM_STATE_FULLSCREEN")};
    client_->setProperty(video, client_->atom("_NET_WM_STATE"), XCB_ATOM_ATOM, fullScreen);
    mapAndWait(video);
    // Activated as a pager would, so focus rules cannot stand in the way.
    client_->sendToRoot(video, client_->atom("_NET_ACTIVE_WINDOW"), {2, 0, 0, 0, 0});
    client_->flush();
    ASSERT_TRUE(waitUntil([&] { return !notifications_.empty(); }));
    EXPECT_EQ(notifications_, (std::vector<Notification>{{bar, kCallback, ABN_FULLSCREENAPP, 1}}));

    notifications_.clear();
    client_->sendToRoot(video, client_->atom("_NET_WM_STATE"),
                        {0, client_->atom("_NET_WM_STATE_FULLSCREEN"), 0, 1, 0});
    client_->flush();
    ASSERT_TRUE(waitUntil([&] { return !notifications_.empty(); }));
    EXPECT_EQ(notifications_, (std::vector<Notification>{{bar, kCallback, ABN_FULLSCREENAPP, 0}}));
}

TEST_F(AppBarShellTest, ZOrderSetsAboveOrBelow) {
    const xcb_window_t window = createWindow(Rect{0, 0, 1280, 13});
    const xcb_atom_t above = client_->atom("_NET_WM_STATE_ABOVE");
    const xcb_atom_t below = client_->atom("_NET_WM_STATE_BELOW");
    const auto states = [&] { return property(window, "_NET_WM_STATE"); };

    // Unmapped: the property itself, which the window manager reads when it maps the window.
    shell_->setZOrder(window, HWND_TOPMOST);
    EXPECT_TRUE(has(states(), above));
    mapAndWait(window);
    EXPECT_TRUE(waitUntil([&] { return has(states(), above); }));

    // Mapped: requests to the window manager.
    shell_->setZOrder(window, HWND_BOTTOM);
    EXPECT_TRUE(waitUntil([&] { return has(states(), below) && !has(states(), above); }));
    shell_->setZOrder(window, HWND_NOTOPMOST);
    EXPECT_TRUE(waitUntil([&] { return !has(states(), below) && !has(states(), above); }));
    shell_->setZOrder(window, HWND_TOPMOST);
    EXPECT_TRUE(waitUntil([&] { return has(states(), above) && !has(states(), below); }));
}

TEST_F(AppBarShellTest, BarShownAgainKeepsItsStatesAndDesktop) {
    const xcb_window_t bar = createWindow(Rect{0, 0, 1280, 13});
    ASSERT_EQ(send(*shell_, ABM_NEW, bar), 1u);
    shell_->setZOrder(bar, HWND_TOPMOST);
    shell_->setSkipTaskbar(bar, true);
    const xcb_atom_t above = client_->atom("_NET_WM_STATE_ABOVE");
    const xcb_atom_t skip = client_->atom("_NET_WM_STATE_SKIP_TASKBAR");
    const auto kept = [&] {
        const Values states = property(bar, "_NET_WM_STATE");
        return has(states, above) && has(states, skip) &&
               property(bar, "_NET_WM_DESKTOP") == Values{0xFFFFFFFF};
    };
    mapAndWait(bar);
    EXPECT_TRUE(waitUntil(kept));

    // Hidden and shown again, as a style change does.
    unmapAndWait(bar);
    mapAndWait(bar);
    EXPECT_TRUE(waitUntil(kept));

    shell_->setSkipTaskbar(bar, false);
    EXPECT_TRUE(waitUntil([&] { return !has(property(bar, "_NET_WM_STATE"), skip); }));
}

} // namespace
} // namespace quill::platform::x11
