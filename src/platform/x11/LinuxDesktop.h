#pragma once

#include "platform/Desktop.h"
#include "platform/x11/AppBarShell.h"

#include <map>
#include <memory>

class QObject;
class QSocketNotifier;
class QTimer;
class QWidget;

namespace quill::forms::qt {
class QtBackend;
}

namespace quill::platform::x11 {

// The Win32-shaped desktop over the Qt backend's windows and an app-bar shell. Window messages
// go through each window's current procedure, so subclassing works as on Windows. Positions
// and sizes are device pixels of the screen.
class LinuxDesktop final : public Desktop {
public:
    // On xcb with a display the EWMH shell, otherwise one that reserves nothing.
    explicit LinuxDesktop(forms::qt::QtBackend& backend);
    LinuxDesktop(forms::qt::QtBackend& backend, std::unique_ptr<AppBarShell> shell);
    ~LinuxDesktop() override;
    LinuxDesktop(const LinuxDesktop&) = delete;
    LinuxDesktop& operator=(const LinuxDesktop&) = delete;

    // What DefWindowProc does for the messages that reach a window's own procedure here.
    static LResult defaultWindowProc(Hwnd window, std::uint32_t message, WParam wParam,
                                     LParam lParam);

    std::uintptr_t SHAppBarMessage(std::uint32_t message, AppBarData& data) override;
    std::intptr_t GetWindowLong(Hwnd window, int index) override;
    std::intptr_t SetWindowLong(Hwnd window, int index, std::intptr_t value) override;
    LResult CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message, WParam wParam,
                           LParam lParam) override;
    LResult SendMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) override;
    bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    bool ShowWindow(Hwnd window, int command) override;
    bool IsWindowVisible(Hwnd window) override;
    bool UpdateWindow(Hwnd window) override;
    bool GetWindowRect(Hwnd window, Rect& rect) override;
    bool GetClientRect(Hwnd window, Rect& rect) override;
    bool ClientToScreen(Hwnd window, Point& point) override;
    bool SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t milliseconds) override;
    bool KillTimer(Hwnd window, std::uintptr_t id) override;
    int GetSystemMetrics(int index) override;
    bool GetWorkArea(Rect& rect) override;
    bool GetDragFullWindows() override;
    bool GetCursorPos(Point& point) override;
    std::uint32_t GetMessagePos() override;
    std::int16_t GetKeyState(int virtualKey) override;
    Hwnd GetActiveWindow() override;
    Hmenu GetSystemMenu(Hwnd window, bool revert) override;
    bool DeleteMenu(Hmenu menu, std::uint32_t item, std::uint32_t flags) override;
    int MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    std::uint32_t GetTickCount() override;

private:
    struct WindowState;
    class EventWatcher;

    // The window's state, watching its widget from the first call on; null for no window.
    WindowState* track(Hwnd window);
    QWidget* widget(Hwnd window) const;
    // The shell may have read events into its queue while answering; deliver them soon.
    void drainShellSoon();
    void windowMovedOrResized(Hwnd window);

    forms::qt::QtBackend& backend_;
    std::unique_ptr<AppBarShell> shell_;
    std::unique_ptr<QSocketNotifier> shellEvents_;
    std::unique_ptr<QObject> context_; // owns queued calls and watchers; gone with the desktop
    std::map<Hwnd, std::unique_ptr<WindowState>> windows_;
    bool drainScheduled_ = false;
};

} // namespace quill::platform::x11
