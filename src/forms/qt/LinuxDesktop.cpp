#include "forms/qt/LinuxDesktop.h"

#include "forms/qt/DevicePixels.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/FrameMargins.h"
#include "forms/qt/QtBackend.h"
#include "forms/qt/ScaledAppBarShell.h"
#include "forms/qt/WaylandAppBarShell.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

namespace quill::forms::qt {

using namespace platform;
using namespace platform::x11;

namespace {

constexpr LResult kHitNowhere = 0, kHitClient = 1, kHitCaption = 2;
// Qt's xcb plugin keeps this _NET_WM_WINDOW_TYPE whenever it (re)creates the window.
constexpr int kQtDockType = 0x4;
constexpr int kDoubleClickArea = 4; // pixels, as Windows has it
constexpr int kBorder = 1;
constexpr std::uint32_t kShortestTimer = 10; // milliseconds; shorter requests get this
constexpr WParam kBitsPerPixel = 32;

LinuxDesktop* current = nullptr;

// The display's shells speak its device pixels; the program speaks logical ones.
std::unique_ptr<AppBarShell> shellForThisDisplay(QtBackend& backend) {
    std::unique_ptr<AppBarShell> device;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        device = makeX11AppBarShell();
    }
    if (!device) {
        device = makeWaylandAppBarShell(backend);
    }
    if (device) {
        return std::make_unique<ScaledAppBarShell>(std::move(device), &screenRatio);
    }
    const QSize screen = logicalScreenSize();
    return screen.isEmpty() ? makeNullAppBarShell(1024, 768)
                            : makeNullAppBarShell(screen.width(), screen.height());
}

struct DeleteLater {
    // A timer may be killed from its own WM_TIMER handler, inside its signal.
    void operator()(QTimer* timer) const {
        timer->stop();
        timer->deleteLater();
    }
};

} // namespace

struct LinuxDesktop::WindowState {
    WndProc proc = &LinuxDesktop::defaultWindowProc;
    std::intptr_t style = 0;
    std::intptr_t exStyle = 0;
    std::map<std::uintptr_t, std::unique_ptr<QTimer, DeleteLater>> timers;
    std::unique_ptr<EventWatcher> watcher;
    bool placing = false;
    bool positionChangeQueued = false;
};

// Turns what happens to a form's widget into the window messages Windows would send.
class LinuxDesktop::EventWatcher : public QObject {
public:
    EventWatcher(LinuxDesktop& desktop, Hwnd window, QWidget& widget)
        : desktop_(desktop), window_(window), widget_(&widget) {
        widget.installEventFilter(this);
    }
    ~EventWatcher() override {
        if (widget_) {
            widget_->removeEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != widget_) {
            return false;
        }
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            desktop_.windowMovedOrResized(window_);
            break;
        case QEvent::WindowActivate:
            desktop_.SendMessage(window_, WM_ACTIVATE, 1, 0);
            break;
        case QEvent::WindowDeactivate:
            desktop_.SendMessage(window_, WM_ACTIVATE, 0, 0);
            break;
        default:
            break;
        }
        return false;
    }

private:
    LinuxDesktop& desktop_;
    Hwnd window_;
    QPointer<QWidget> widget_;
};

LinuxDesktop::LinuxDesktop(QtBackend& backend)
    : LinuxDesktop(backend, shellForThisDisplay(backend)) {}

LinuxDesktop::LinuxDesktop(QtBackend& backend, std::unique_ptr<AppBarShell> shell)
    : backend_(backend), shell_(std::move(shell)), context_(std::make_unique<QObject>()),
      pointer_(QGuiApplication::platformName() != QLatin1String("wayland")) {
    current = this;
    // Qt follows RandR (and a Wayland output's mode), so by now the screen's metrics are new.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QObject::connect(screen, &QScreen::geometryChanged, context_.get(),
                         [this] { displayChanged(); });
    }
    shell_->notify = [this](Hwnd bar, std::uint32_t message, WParam code, LParam lParam) {
        SendMessage(bar, message, code, lParam);
    };
    if (const int fd = shell_->fileDescriptor(); fd >= 0) {
        shellEvents_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(shellEvents_.get(), &QSocketNotifier::activated, context_.get(), [this] {
            shell_->processEvents();
            if (shell_->fileDescriptor() < 0) {
                shellEvents_->setEnabled(false); // the display has gone; nothing more comes
            }
        });
    }
}

LinuxDesktop::~LinuxDesktop() {
    if (current == this) {
        current = nullptr;
    }
    windows_.clear();
    shellEvents_.reset();
    context_.reset();
}

QWidget* LinuxDesktop::widget(Hwnd window) const {
    return backend_.windowFor(window);
}

LinuxDesktop::WindowState* LinuxDesktop::track(Hwnd window) {
    if (auto found = windows_.find(window); found != windows_.end()) {
        return found->second.get();
    }
    QWidget* shown = widget(window);
    if (shown == nullptr) {
        return nullptr;
    }
    auto state = std::make_unique<WindowState>();
    state->watcher = std::make_unique<EventWatcher>(*this, window, *shown);
    QObject::connect(shown, &QObject::destroyed, context_.get(),
                     [this, window] { windows_.erase(window); });
    return windows_.emplace(window, std::move(state)).first->second.get();
}

void LinuxDesktop::drainShellSoon() {
    if (drainScheduled_) {
        return;
    }
    drainScheduled_ = true;
    QMetaObject::invokeMethod(
        context_.get(),
        [this] {
            drainScheduled_ = false;
            shell_->processEvents();
        },
        Qt::QueuedConnection);
}

void LinuxDesktop::windowMovedOrResized(Hwnd window) {
    WindowState* state = track(window);
    if (state == nullptr || state->placing || state->positionChangeQueued) {
        return;
    }
    // A move and a resize of one change arrive as two events; Windows sends one message.
    state->positionChangeQueued = true;
    QMetaObject::invokeMethod(
        context_.get(),
        [this, window] {
            if (WindowState* queued = track(window)) {
                queued->positionChangeQueued = false;
                SendMessage(window, WM_WINDOWPOSCHANGED, 0, 0);
            }
        },
        Qt::QueuedConnection);
}

void LinuxDesktop::displayChanged() {
    const QSize size = logicalScreenSize();
    const auto lParam =
        static_cast<LParam>((size.width() & 0xFFFF) | ((size.height() & 0xFFFF) << 16));
    std::vector<Hwnd> windows;
    for (const auto& [window, state] : windows_) {
        windows.push_back(window);
    }
    for (const Hwnd window : windows) {
        SendMessage(window, WM_DISPLAYCHANGE, kBitsPerPixel, lParam);
    }
}

LResult LinuxDesktop::defaultWindowProc(Hwnd window, std::uint32_t message, WParam, LParam lParam) {
    if (message != WM_NCHITTEST) {
        return 0;
    }
    if (current == nullptr) {
        return kHitClient;
    }
    Rect rect;
    if (!current->GetWindowRect(window, rect)) {
        return kHitNowhere;
    }
    const auto x = static_cast<std::int16_t>(lParam & 0xFFFF);
    const auto y = static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
    if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom) {
        return kHitNowhere;
    }
    const auto* form = current->backend_.widgetFor(window);
    const int strip = form != nullptr ? form->captionStripHeight() : 0;
    return y < rect.top + strip ? kHitCaption : kHitClient;
}

std::uintptr_t LinuxDesktop::SHAppBarMessage(std::uint32_t message, AppBarData& data) {
    const std::uintptr_t result = shell_->message(message, data);
    if (message == ABM_NEW && result != 0) {
        if (QWidget* bar = widget(data.hWnd); bar != nullptr && bar->windowHandle() != nullptr) {
            QWindow* window = bar->windowHandle();
            window->setProperty("_q_xcb_wm_window_type", kQtDockType);
            // A click on the bar leaves the keyboard where it was. Set on the window, not the
            // widget, so that the X window stays the same one.
            window->setFlag(Qt::WindowDoesNotAcceptFocus);
        }
    }
    drainShellSoon();
    return result;
}

std::intptr_t LinuxDesktop::GetWindowLong(Hwnd window, int index) {
    const WindowState* state = track(window);
    if (state == nullptr) {
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<std::intptr_t>(state->proc);
    case GWL_STYLE:
        return state->style;
    case GWL_EXSTYLE:
        return state->exStyle;
    default:
        return 0;
    }
}

std::intptr_t LinuxDesktop::SetWindowLong(Hwnd window, int index, std::intptr_t value) {
    WindowState* state = track(window);
    if (state == nullptr) {
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC: {
        const WndProc previous = state->proc;
        state->proc = reinterpret_cast<WndProc>(value);
        return reinterpret_cast<std::intptr_t>(previous);
    }
    case GWL_STYLE: {
        const std::intptr_t previous = state->style;
        state->style = value;
        if (auto* form = backend_.widgetFor(window)) {
            form->setCaptionStrip((value & WS_CAPTION) == WS_CAPTION);
        }
        return previous;
    }
    case GWL_EXSTYLE: {
        const std::intptr_t previous = state->exStyle;
        state->exStyle = value;
        if (((previous ^ value) & WS_EX_APPWINDOW) != 0) {
            shell_->setSkipTaskbar(window, (value & WS_EX_APPWINDOW) == 0);
            drainShellSoon();
        }
        return previous;
    }
    default:
        return 0;
    }
}

LResult LinuxDesktop::CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message,
                                     WParam wParam, LParam lParam) {
    if (proc == nullptr) {
        return 0;
    }
    try {
        return proc(window, message, wParam, lParam);
    } catch (...) { // a window procedure's failure ends with its message
        return 0;
    }
}

LResult LinuxDesktop::SendMessage(Hwnd window, std::uint32_t message, WParam wParam,
                                  LParam lParam) {
    const WindowState* state = track(window);
    if (state == nullptr) {
        return 0;
    }
    return CallWindowProc(state->proc, window, message, wParam, lParam);
}

bool LinuxDesktop::SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy,
                                std::uint32_t flags) {
    WindowState* state = track(window);
    QWidget* shown = widget(window);
    if (state == nullptr || shown == nullptr) {
        return false;
    }
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        Rect frame;
        GetWindowRect(window, frame);
        if ((flags & SWP_NOMOVE) == 0) {
            frame = Rect{x, y, x + frame.width(), y + frame.height()};
        }
        if ((flags & SWP_NOSIZE) == 0) {
            frame.right = frame.left + cx;
            frame.bottom = frame.top + cy;
        }
        // Windows places the outer rectangle; Qt places the inside of the frame.
        const QMargins margins = frameMargins(shown->frameGeometry(), shown->geometry());
        state->placing = true;
        shown->setGeometry(frame.left + margins.left(), frame.top + margins.top(),
                           std::max(0, frame.width() - margins.left() - margins.right()),
                           std::max(0, frame.height() - margins.top() - margins.bottom()));
        state->placing = false;
    }
    if ((flags & SWP_NOZORDER) == 0) {
        if (insertAfter == HWND_TOPMOST || insertAfter == HWND_BOTTOM ||
            insertAfter == HWND_NOTOPMOST) {
            shell_->setZOrder(window, insertAfter);
            drainShellSoon();
        } else if (insertAfter == HWND_TOP) {
            shown->raise();
        }
    }
    SendMessage(window, WM_WINDOWPOSCHANGED, 0, 0);
    return true;
}

bool LinuxDesktop::ShowWindow(Hwnd window, int command) {
    QWidget* shown = widget(window);
    if (shown == nullptr || track(window) == nullptr) {
        return false;
    }
    const bool wasVisible = shown->isVisible();
    shown->setVisible(command != SW_HIDE);
    return wasVisible;
}

bool LinuxDesktop::IsWindowVisible(Hwnd window) {
    const QWidget* shown = widget(window);
    return shown != nullptr && shown->isVisible();
}

bool LinuxDesktop::UpdateWindow(Hwnd window) {
    QWidget* shown = widget(window);
    if (shown == nullptr) {
        return false;
    }
    shown->repaint();
    return true;
}

bool LinuxDesktop::GetWindowRect(Hwnd window, Rect& rect) {
    const QWidget* shown = widget(window);
    if (shown == nullptr) {
        return false;
    }
    if (const auto placed = shell_->windowRect(window)) {
        rect = *placed;
        return true;
    }
    const QRect inner = shown->geometry();
    rect = toRect(inner.marginsAdded(frameMargins(shown->frameGeometry(), inner)));
    return true;
}

bool LinuxDesktop::GetClientRect(Hwnd window, Rect& rect) {
    const auto* form = backend_.widgetFor(window);
    if (form == nullptr) {
        return false;
    }
    rect = Rect{0, 0, form->width(), form->height() - form->captionStripHeight()};
    return true;
}

bool LinuxDesktop::ClientToScreen(Hwnd window, Point& point) {
    const auto* form = backend_.widgetFor(window);
    if (form == nullptr) {
        return false;
    }
    const QPoint global = form->mapToGlobal(QPoint(point.x, point.y + form->captionStripHeight()));
    point = Point{global.x(), global.y()};
    return true;
}

bool LinuxDesktop::SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t milliseconds) {
    WindowState* state = track(window);
    if (state == nullptr) {
        return false;
    }
    auto& timer = state->timers[id];
    if (!timer) {
        timer.reset(new QTimer);
        QObject::connect(timer.get(), &QTimer::timeout, context_.get(),
                         [this, window, id] { SendMessage(window, WM_TIMER, id, 0); });
    }
    timer->start(static_cast<int>(
        std::clamp<std::uint32_t>(milliseconds, kShortestTimer, std::numeric_limits<int>::max())));
    return true;
}

bool LinuxDesktop::KillTimer(Hwnd window, std::uintptr_t id) {
    WindowState* state = track(window);
    return state != nullptr && state->timers.erase(id) != 0;
}

int LinuxDesktop::GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return logicalScreenSize().width();
    case SM_CYSCREEN:
        return logicalScreenSize().height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    case SM_CXBORDER:
    case SM_CYBORDER:
        return kBorder;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return kDoubleClickArea;
    default:
        return 0;
    }
}

bool LinuxDesktop::GetWorkArea(Rect& rect) {
    rect = shell_->workArea();
    drainShellSoon();
    return true;
}

bool LinuxDesktop::GetDragFullWindows() {
    return true;
}

bool LinuxDesktop::GetCursorPos(Point& point) {
    const auto at = pointer_.position();
    if (!at) {
        return false;
    }
    point = Point{at->x(), at->y()};
    return true;
}

std::uint32_t LinuxDesktop::GetMessagePos() {
    Point at;
    GetCursorPos(at);
    return (static_cast<std::uint32_t>(at.x) & 0xFFFF) |
           ((static_cast<std::uint32_t>(at.y) & 0xFFFF) << 16);
}

std::int16_t LinuxDesktop::GetKeyState(int virtualKey) {
    constexpr auto kDown = static_cast<std::int16_t>(0x8000);
    if (virtualKey == VK_CONTROL &&
        QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier)) {
        return kDown;
    }
    return 0;
}

Hwnd LinuxDesktop::GetActiveWindow() {
    const QWidget* active = QApplication::activeWindow();
    if (active == nullptr) {
        return 0;
    }
    const auto window = static_cast<Hwnd>(active->internalWinId());
    return widget(window) != nullptr ? window : 0;
}

Hmenu LinuxDesktop::GetSystemMenu(Hwnd window, bool) {
    // There is no system menu here: the window stands for it, and taking an item out of it
    // has nothing to do.
    return track(window) != nullptr ? static_cast<Hmenu>(window) : 0;
}

bool LinuxDesktop::DeleteMenu(Hmenu menu, std::uint32_t, std::uint32_t) {
    return track(static_cast<Hwnd>(menu)) != nullptr;
}

int LinuxDesktop::MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
    return backend_.messageBox(owner, text, caption, style);
}

std::uint32_t LinuxDesktop::GetTickCount() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(elapsed.count()); // wraps as the Windows count does
}

std::uint32_t LinuxDesktop::RegisterWindowMessage(const std::string&) {
    // No shell here forgets a bar: its strut and dock type stay on the window when the window
    // manager restarts.
    return 0;
}

} // namespace quill::forms::qt
