#pragma once

#include "forms/qt/KnownPointer.h"
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

// The Win32-shaped desktop over the Qt backend's windows and an app-bar shell. Window messages
// go through each window's current procedure, so subclassing works as on Windows. Positions
// and sizes are the screen's logical pixels (see DevicePixels.h).
class LinuxDesktop final : public platform::Desktop {
public:
    // On xcb with a display the EWMH shell, on Wayland with a layer shell a layer surface,
    // otherwise one that reserves nothing.
    explicit LinuxDesktop(QtBackend& backend);
    LinuxDesktop(QtBackend& backend, std::unique_ptr<platform::x11::AppBarShell> shell);
    ~LinuxDesktop() override;
    LinuxDesktop(const LinuxDesktop&) = delete;
    LinuxDesktop& operator=(const LinuxDesktop&) = delete;

    // What DefWindowProc does for the messages that reach a window's own procedure here.
    static platform::LResult defaultWindowProc(platform::Hwnd window, std::uint32_t message,
                                               platform::WParam wParam, platform::LParam lParam);

    std::uintptr_t SHAppBarMessage(std::uint32_t message, platform::AppBarData& data) override;
    std::intptr_t GetWindowLong(platform::Hwnd window, int index) override;
    std::intptr_t SetWindowLong(platform::Hwnd window, int index, std::intptr_t value) override;
    platform::LResult CallWindowProc(platform::WndProc proc, platform::Hwnd window,
                                     std::uint32_t message, platform::WParam wParam,
                                     platform::LParam lParam) override;
    platform::LResult SendMessage(platform::Hwnd window, std::uint32_t message,
                                  platform::WParam wParam, platform::LParam lParam) override;
    bool SetWindowPos(platform::Hwnd window, platform::Hwnd insertAfter, int x, int y, int cx,
                      int cy, std::uint32_t flags) override;
    bool ShowWindow(platform::Hwnd window, int command) override;
    bool IsWindowVisible(platform::Hwnd window) override;
    bool UpdateWindow(platform::Hwnd window) override;
    bool GetWindowRect(platform::Hwnd window, platform::Rect& rect) override;
    bool GetClientRect(platform::Hwnd window, platform::Rect& rect) override;
    bool ClientToScreen(platform::Hwnd window, platform::Point& point) override;
    bool SetTimer(platform::Hwnd window, std::uintptr_t id, std::uint32_t milliseconds) override;
    bool KillTimer(platform::Hwnd window, std::uintptr_t id) override;
    int GetSystemMetrics(int index) override;
    bool GetWorkArea(platform::Rect& rect) override;
    bool GetDragFullWindows() override;
    bool GetCursorPos(platform::Point& point) override;
    std::uint32_t GetMessagePos() override;
    std::int16_t GetKeyState(int virtualKey) override;
    platform::Hwnd GetActiveWindow() override;
    platform::Hmenu GetSystemMenu(platform::Hwnd window, bool revert) override;
    bool DeleteMenu(platform::Hmenu menu, std::uint32_t item, std::uint32_t flags) override;
    int MessageBox(platform::Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    std::uint32_t GetTickCount() override;
    std::uint32_t RegisterWindowMessage(const std::string& name) override;

private:
    struct WindowState;
    class EventWatcher;

    // The window's state, watching its widget from the first call on; null for no window.
    WindowState* track(platform::Hwnd window);
    QWidget* widget(platform::Hwnd window) const;
    // The shell may have read events into its queue while answering; deliver them soon.
    void drainShellSoon();
    void windowMovedOrResized(platform::Hwnd window);
    // As Windows does when the screen's size changes: WM_DISPLAYCHANGE to every window.
    void displayChanged();

    QtBackend& backend_;
    std::unique_ptr<platform::x11::AppBarShell> shell_;
    std::unique_ptr<QSocketNotifier> shellEvents_;
    std::unique_ptr<QObject> context_; // owns queued calls and watchers; gone with the desktop
    std::map<platform::Hwnd, std::unique_ptr<WindowState>> windows_;
    bool drainScheduled_ = false;
    KnownPointer pointer_;
};

} // namespace quill::forms::qt
