#include "forms/qt/LinuxDesktop.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/QtBackend.h"
#include "platform/x11/XConnection.h"
#include "support/Programs.h"
#include "x11/TestDisplay.h"
#include "x11/XcbApplication.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <qpa/qwindowsysteminterface.h>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace quill::platform::x11 {
namespace {

using forms::qt::LinuxDesktop;
using Values = std::vector<std::uint32_t>;
using Message = std::tuple<Hwnd, std::uint32_t, WParam, LParam>;

constexpr std::uint32_t kCallback = 1124;
constexpr std::uint32_t kThrow = WM_USER + 13;
constexpr std::uint32_t kKillOwnTimer = 100;

// The procedure a test puts in front of a window's own one, as the app bar does.
LinuxDesktop* desktopInUse = nullptr;
WndProc previousProc = nullptr;
std::vector<Message> received;

LResult recordingProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    received.emplace_back(window, message, wParam, lParam);
    if (message == kThrow) {
        throw std::runtime_error("a handler failed");
    }
    if (message == WM_TIMER && wParam == kKillOwnTimer) {
        desktopInUse->KillTimer(window, wParam);
    }
    return desktopInUse->CallWindowProc(previousProc, window, message, wParam, lParam);
}

LParam packed(int x, int y) {
    return static_cast<LParam>((static_cast<std::uint32_t>(y) << 16) |
                               (static_cast<std::uint32_t>(x) & 0xFFFF));
}

bool has(const Values& values, std::uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Qt on the shared display, with our desktop over the backend's windows, and a connection of
// our own to look at what the window manager sees.
class LinuxDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        QUILL_REQUIRE_DISPLAY();
        testing::xcbApplication();
        backend_ = std::make_unique<forms::qt::QtBackend>();
        desktop_ = std::make_unique<LinuxDesktop>(*backend_);
        app_ = std::make_unique<forms::Application>(*backend_, *desktop_);
        backend_->attach(*app_);
        x_ = std::make_unique<XConnection>();
        desktopInUse = desktop_.get();
        received.clear();
    }

    void TearDown() override {
        if (!x_) {
            return;
        }
        forms_.clear();
        x_.reset();
        app_.reset();
        desktop_.reset();
        backend_.reset();
        testing::XServer& server = *testing::testDisplay();
        EXPECT_TRUE(waitFor([&] { return server.rootProperty("_NET_CLIENT_LIST").empty(); }));
        EXPECT_TRUE(waitFor([&] {
            const Values area = server.rootProperty("_NET_WORKAREA");
            return area.size() >= 4 && area[1] == 0 && area[3] == 1024;
        }));
    }

    forms::Form& makeForm(const std::string& name, float width = 6000, float height = 1500) {
        forms_.push_back(std::make_unique<forms::Form>(*app_, name, name, width, height));
        return *forms_.back();
    }
    forms::qt::FormWidget& widget(const forms::Form& form) {
        return *backend_->widgetFor(form.hwnd());
    }
    void subclass(Hwnd window) {
        previousProc = reinterpret_cast<WndProc>(desktop_->SetWindowLong(
            window, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(&recordingProc)));
    }
    std::size_t count(Hwnd window, std::uint32_t message) const {
        return static_cast<std::size_t>(
            std::count_if(received.begin(), received.end(), [&](const Message& m) {
                return std::get<0>(m) == window && std::get<1>(m) == message;
            }));
    }
    bool receivedMessage(const Message& message) const {
        return std::find(received.begin(), received.end(), message) != received.end();
    }

    // Runs the event loop until `done` holds; false after five seconds.
    static bool waitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            QEventLoop loop;
            QTimer::singleShot(20, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return true;
    }

    Values property(Hwnd window, const std::string& name) {
        return x_->property(static_cast<xcb_window_t>(window), x_->atom(name)).value_or(Values{});
    }
    Values rootProperty(const std::string& name) {
        return x_->property(x_->root(), x_->atom(name)).value_or(Values{});
    }
    bool managed(Hwnd window) {
        return has(rootProperty("_NET_CLIENT_LIST"), static_cast<std::uint32_t>(window));
    }
    int workAreaTop() {
        const Values area = rootProperty("_NET_WORKAREA");
        return area.size() >= 4 ? static_cast<int>(area[1]) : -1;
    }

    std::uintptr_t shell(std::uint32_t message, Hwnd bar, std::uint32_t edge = ABE_TOP,
                         Rect* rect = nullptr) {
        AppBarData data;
        data.hWnd = bar;
        data.uCallbackMessage = kCallback;
        data.uEdge = edge;
        if (rect) {
            data.rc = *rect;
        }
        const std::uintptr_t result = desktop_->SHAppBarMessage(message, data);
        if (rect) {
            *rect = data.rc;
        }
        return result;
    }

    // Registers the form as a bar and docks it on the top edge, 13 pixels high and topmost, the
    // way the app bar does it.
    Rect dockOnTop(Hwnd bar) {
        EXPECT_EQ(shell(ABM_NEW, bar), 1u);
        Rect rect{0, 0, 1280, 1024};
        shell(ABM_QUERYPOS, bar, ABE_TOP, &rect);
        rect.bottom = rect.top + 13;
        shell(ABM_SETPOS, bar, ABE_TOP, &rect);
        desktop_->SetWindowPos(bar, 0, rect.left, rect.top, rect.width(), rect.height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
        desktop_->SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return rect;
    }

    std::unique_ptr<forms::qt::QtBackend> backend_;
    std::unique_ptr<LinuxDesktop> desktop_;
    std::unique_ptr<forms::Application> app_;
    std::vector<std::unique_ptr<forms::Form>> forms_;
    std::unique_ptr<XConnection> x_;
};

TEST_F(LinuxDesktopTest, MessagesGoThroughTheCurrentProcedure) {
    const Hwnd window = makeForm("Form1").hwnd();
    EXPECT_EQ(desktop_->GetWindowLong(window, GWL_WNDPROC),
              reinterpret_cast<std::intptr_t>(&LinuxDesktop::defaultWindowProc));
    desktop_->SetWindowPos(window, 0, 100, 200, 300, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(desktop_->SendMessage(window, WM_NCHITTEST, 0, packed(150, 210)), 1) << "client area";
    EXPECT_EQ(desktop_->SendMessage(window, WM_NCHITTEST, 0, packed(50, 50)), 0) << "nowhere";

    subclass(window);
    EXPECT_EQ(previousProc, &LinuxDesktop::defaultWindowProc);
    EXPECT_EQ(desktop_->SendMessage(window, WM_NCHITTEST, 0, packed(150, 210)), 1);
    EXPECT_EQ(desktop_->SendMessage(window, WM_USER + 5, 7, 9), 0);
    EXPECT_TRUE(receivedMessage({window, WM_NCHITTEST, 0, packed(150, 210)}));
    EXPECT_TRUE(receivedMessage({window, WM_USER + 5, 7, 9}));

    LResult result = -1;
    EXPECT_NO_THROW(result = desktop_->SendMessage(window, kThrow, 0, 0));
    EXPECT_EQ(result, 0);

    EXPECT_EQ(
        desktop_->SetWindowLong(window, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(previousProc)),
        reinterpret_cast<std::intptr_t>(&recordingProc));
    received.clear();
    desktop_->SendMessage(window, WM_USER + 5, 0, 0);
    EXPECT_TRUE(received.empty()) << "the own procedure is back";
}

TEST_F(LinuxDesktopTest, CaptionStyleGivesACaptionStripAboveTheClientArea) {
    forms::Form& form = makeForm("Form1");
    const Hwnd window = form.hwnd();
    desktop_->SetWindowPos(window, 0, 100, 200, 300, 60, SWP_NOZORDER | SWP_NOACTIVATE);

    EXPECT_EQ(desktop_->SetWindowLong(window, GWL_STYLE, WS_CAPTION | WS_SYSMENU), 0);
    EXPECT_TRUE(widget(form).captionStrip());
    EXPECT_EQ(desktop_->GetWindowLong(window, GWL_STYLE), WS_CAPTION | WS_SYSMENU);
    Rect client;
    ASSERT_TRUE(desktop_->GetClientRect(window, client));
    const int strip = forms::qt::FormWidget::kCaptionStripHeight;
    EXPECT_EQ(client, (Rect{0, 0, 300, 60 - strip}));
    Point origin;
    ASSERT_TRUE(desktop_->ClientToScreen(window, origin));
    EXPECT_EQ(origin, (Point{100, 200 + strip}));
    EXPECT_EQ(desktop_->SendMessage(window, WM_NCHITTEST, 0, packed(150, 205)), 2)
        << "the strip is the caption";

    desktop_->SetWindowLong(window, GWL_STYLE, 0);
    EXPECT_FALSE(widget(form).captionStrip());
    desktop_->GetClientRect(window, client);
    EXPECT_EQ(client.bottom, 60);
}

TEST_F(LinuxDesktopTest, AppWindowStyleDecidesTheTaskbarEntry) {
    const Hwnd window = makeForm("Form1").hwnd();
    desktop_->ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(waitFor([&] { return managed(window); }));
    const xcb_atom_t skip = x_->atom("_NET_WM_STATE_SKIP_TASKBAR");

    EXPECT_EQ(desktop_->SetWindowLong(window, GWL_EXSTYLE, WS_EX_APPWINDOW), 0);
    desktop_->SetWindowLong(window, GWL_EXSTYLE, 0);
    EXPECT_TRUE(waitFor([&] { return has(property(window, "_NET_WM_STATE"), skip); }));
    EXPECT_EQ(desktop_->SetWindowLong(window, GWL_EXSTYLE, WS_EX_APPWINDOW), 0);
    EXPECT_TRUE(waitFor([&] { return !has(property(window, "_NET_WM_STATE"), skip); }));
    EXPECT_EQ(desktop_->GetWindowLong(window, GWL_EXSTYLE), WS_EX_APPWINDOW);
}

TEST_F(LinuxDesktopTest, PlacingAWindowSendsOnePositionChange) {
    forms::Form& form = makeForm("Form1");
    const Hwnd window = form.hwnd();
    subclass(window);
    EXPECT_TRUE(desktop_->SetWindowPos(window, 0, 10, 20, 400, 30, SWP_NOZORDER));
    Rect rect;
    ASSERT_TRUE(desktop_->GetWindowRect(window, rect));
    EXPECT_EQ(rect, (Rect{10, 20, 410, 50}));
    EXPECT_EQ(count(window, WM_WINDOWPOSCHANGED), 1u);

    desktop_->SetWindowPos(window, 0, 0, 0, 500, 40, SWP_NOZORDER | SWP_NOMOVE);
    desktop_->GetWindowRect(window, rect);
    EXPECT_EQ(rect, (Rect{10, 20, 510, 60}));

    // Shown and moved by someone else: the window hears of it too.
    desktop_->ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(waitFor([&] { return managed(window); }));
    ASSERT_TRUE(waitFor([&] { return widget(form).isVisible(); }));
    received.clear();
    widget(form).move(widget(form).pos() + QPoint(30, 40));
    EXPECT_TRUE(waitFor([&] { return count(window, WM_WINDOWPOSCHANGED) >= 1; }));
    EXPECT_TRUE(desktop_->IsWindowVisible(window));
    EXPECT_TRUE(desktop_->ShowWindow(window, SW_HIDE)) << "it was visible";
    EXPECT_FALSE(desktop_->IsWindowVisible(window));
}

TEST_F(LinuxDesktopTest, TimersTickThroughTheCurrentProcedureUntilKilled) {
    const Hwnd window = makeForm("Form1").hwnd();
    subclass(window);
    // The first timer kills itself on its first tick; the slower one shows it did not tick
    // again in the meantime.
    ASSERT_TRUE(desktop_->SetTimer(window, kKillOwnTimer, 10));
    ASSERT_TRUE(desktop_->SetTimer(window, 200, 100));
    ASSERT_TRUE(waitFor([&] { return receivedMessage({window, WM_TIMER, 200, 0}); }));
    EXPECT_EQ(
        std::count(received.begin(), received.end(), Message{window, WM_TIMER, kKillOwnTimer, 0}),
        1);
    EXPECT_TRUE(desktop_->KillTimer(window, 200));
    EXPECT_FALSE(desktop_->KillTimer(window, 200));
    EXPECT_FALSE(desktop_->SetTimer(0x1234, 1, 10)) << "no such window";
}

TEST_F(LinuxDesktopTest, BarIsADockReservingItsStripAndStaysOneWhenShownAgain) {
    forms::Form& form = makeForm("Form1", 19200, 195);
    const Hwnd bar = form.hwnd();
    EXPECT_EQ(dockOnTop(bar), (Rect{0, 0, 1280, 13}));
    desktop_->ShowWindow(bar, SW_SHOW);

    const xcb_atom_t dock = x_->atom("_NET_WM_WINDOW_TYPE_DOCK");
    const xcb_atom_t above = x_->atom("_NET_WM_STATE_ABOVE");
    const auto isTheBar = [&] {
        const Values types = property(bar, "_NET_WM_WINDOW_TYPE");
        Rect rect;
        desktop_->GetWindowRect(bar, rect);
        return managed(bar) && !types.empty() && types.front() == dock &&
               property(bar, "_NET_WM_DESKTOP") == Values{0xFFFFFFFF} &&
               has(property(bar, "_NET_WM_STATE"), above) && workAreaTop() == 13 &&
               rect == Rect{0, 0, 1280, 13};
    };
    EXPECT_TRUE(waitFor(isTheBar));
    EXPECT_EQ(property(bar, "_NET_FRAME_EXTENTS"), (Values{0, 0, 0, 0}));

    // Hidden and shown around a style change: still the same bar.
    desktop_->ShowWindow(bar, SW_HIDE);
    ASSERT_TRUE(waitFor([&] { return !managed(bar); }));
    desktop_->ShowWindow(bar, SW_SHOW);
    EXPECT_TRUE(waitFor(isTheBar));

    Rect workArea;
    EXPECT_TRUE(desktop_->GetWorkArea(workArea));
    EXPECT_EQ(workArea, (Rect{0, 13, 1280, 1024}));
}

TEST_F(LinuxDesktopTest, ShellNotificationsReachTheBarsProcedure) {
    const Hwnd bar = makeForm("Form1", 19200, 195).hwnd();
    subclass(bar);
    ASSERT_EQ(shell(ABM_NEW, bar), 1u);

    // Another program reserves a strip: the work area changes.
    const xcb_window_t panel = xcb_generate_id(x_->raw());
    xcb_create_window(x_->raw(), XCB_COPY_FROM_PARENT, panel, x_->root(), 0, 1000, 1280, 24, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const Values strut{0, 0, 0, 24};
    x_->setProperty(panel, x_->atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, strut);
    xcb_map_window(x_->raw(), panel);
    x_->flush();
    EXPECT_TRUE(waitFor([&] { return receivedMessage({bar, kCallback, ABN_POSCHANGED, 0}); }));
    // The screen changes its size (RandR): the window is told, as Windows tells it.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect was = screen->geometry();
    for (const QRect size : {QRect(0, 0, 1024, 768), was}) {
        QWindowSystemInterface::handleScreenGeometryChange(screen, size, size);
        QWindowSystemInterface::flushWindowSystemEvents();
    }
    EXPECT_EQ(count(bar, WM_DISPLAYCHANGE), 2u);
}

TEST_F(LinuxDesktopTest, ActivationReachesTheProcedure) {
    forms::Form& first = makeForm("Form3");
    forms::Form& second = makeForm("Form2");
    subclass(first.hwnd());
    desktop_->SetWindowPos(first.hwnd(), 0, 100, 100, 300, 200, SWP_NOZORDER);
    desktop_->SetWindowPos(second.hwnd(), 0, 500, 100, 300, 200, SWP_NOZORDER);
    desktop_->ShowWindow(first.hwnd(), SW_SHOW);
    desktop_->ShowWindow(second.hwnd(), SW_SHOW);
    ASSERT_TRUE(waitFor([&] { return managed(first.hwnd()) && managed(second.hwnd()); }));

    widget(first).activateWindow();
    EXPECT_TRUE(waitFor([&] { return receivedMessage({first.hwnd(), WM_ACTIVATE, 1, 0}); }));
    EXPECT_EQ(desktop_->GetActiveWindow(), first.hwnd());
    widget(second).activateWindow();
    EXPECT_TRUE(waitFor([&] { return receivedMessage({first.hwnd(), WM_ACTIVATE, 0, 0}); }));
    EXPECT_EQ(desktop_->GetActiveWindow(), second.hwnd());
}

TEST_F(LinuxDesktopTest, ClickingTheBarLeavesTheFocusWhereItWas) {
    if (!quill::testing::onPath("xdotool")) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    forms::Form& other = makeForm("Form3");
    desktop_->SetWindowPos(other.hwnd(), 0, 100, 300, 300, 200, SWP_NOZORDER);
    desktop_->ShowWindow(other.hwnd(), SW_SHOW);
    forms::Form& form = makeForm("Form1", 19200, 195);
    const Hwnd bar = form.hwnd();
    dockOnTop(bar);
    desktop_->ShowWindow(bar, SW_SHOW);
    ASSERT_TRUE(waitFor([&] { return managed(bar) && managed(other.hwnd()); }));
    widget(other).activateWindow();
    ASSERT_TRUE(waitFor([&] { return desktop_->GetActiveWindow() == other.hwnd(); }));

    struct ClickSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            seen = seen || event->type() == QEvent::MouseButtonRelease;
            return false;
        }
    } click;
    widget(form).installEventFilter(&click);
    const std::string command =
        "DISPLAY=" + testing::testDisplay()->display() + " xdotool mousemove 640 6 click 1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(waitFor([&] { return click.seen; }));
    widget(form).removeEventFilter(&click);

    // Anything the window manager does about the click comes before its answer to a later
    // request,
    desktop_->SetWindowPos(other.hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    const xcb_atom_t below = x_->atom("_NET_WM_STATE_BELOW");
    ASSERT_TRUE(waitFor([&] { return has(property(other.hwnd(), "_NET_WM_STATE"), below); }));
    // and Qt has read whatever the server sent it by then.
    QGuiApplication::sync();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop_->GetActiveWindow(), other.hwnd());
    EXPECT_EQ(rootProperty("_NET_ACTIVE_WINDOW"), Values{static_cast<std::uint32_t>(other.hwnd())});
}

TEST_F(LinuxDesktopTest, MetricsAndInputState) {
    EXPECT_EQ(desktop_->GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(desktop_->GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(desktop_->GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_GT(desktop_->GetSystemMetrics(SM_CXVSCROLL), 0);
    EXPECT_TRUE(desktop_->GetDragFullWindows());

    QCursor::setPos(321, 654);
    ASSERT_TRUE(waitFor([] { return QCursor::pos() == QPoint(321, 654); }));
    Point cursor;
    ASSERT_TRUE(desktop_->GetCursorPos(cursor));
    EXPECT_EQ(cursor, (Point{321, 654}));
    EXPECT_EQ(desktop_->GetMessagePos(), (654u << 16) | 321u);
    EXPECT_EQ(desktop_->GetKeyState(VK_CONTROL) & 0x8000, 0);

    const std::uint32_t before = desktop_->GetTickCount();
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
    const std::uint32_t elapsed = desktop_->GetTickCount() - before;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

} // namespace
} // namespace quill::platform::x11
