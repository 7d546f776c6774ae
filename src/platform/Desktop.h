#pragma once

#include <cstdint>
#include <string>

namespace quill::platform {

// The window system as the app bar sees it, shaped after Win32 so that the same code drives
// the real Windows shell, our X11 emulation and the recording fake in tests.

using Hwnd = std::uintptr_t;
using Hmenu = std::uintptr_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using WndProc = LResult (*)(Hwnd, std::uint32_t, WParam, LParam);

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct AppBarData {
    std::uint32_t cbSize = 36;
    Hwnd hWnd = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t uEdge = 0;
    Rect rc;
    LParam lParam = 0;
};

struct MinMaxInfo {
    Point reserved, maxSize, maxPosition, minTrackSize, maxTrackSize;
};

// Shell messages.
inline constexpr std::uint32_t ABM_NEW = 0, ABM_REMOVE = 1, ABM_QUERYPOS = 2, ABM_SETPOS = 3,
                               ABM_GETSTATE = 4, ABM_GETTASKBARPOS = 5, ABM_ACTIVATE = 6,
                               ABM_GETAUTOHIDEBAR = 7, ABM_SETAUTOHIDEBAR = 8,
                               ABM_WINDOWPOSCHANGED = 9;
// Shell notifications (wParam of the callback message).
inline constexpr WParam ABN_STATECHANGE = 0, ABN_POSCHANGED = 1, ABN_FULLSCREENAPP = 2,
                        ABN_WINDOWARRANGE = 3;
inline constexpr std::uint32_t ABE_LEFT = 0, ABE_TOP = 1, ABE_RIGHT = 2, ABE_BOTTOM = 3;

// Window messages.
inline constexpr std::uint32_t WM_ACTIVATE = 0x0006, WM_GETMINMAXINFO = 0x0024,
                               WM_WINDOWPOSCHANGED = 0x0047, WM_DISPLAYCHANGE = 0x007E,
                               WM_NCHITTEST = 0x0084, WM_NCMOUSEMOVE = 0x00A0, WM_TIMER = 0x0113,
                               WM_SIZING = 0x0214, WM_MOVING = 0x0216, WM_ENTERSIZEMOVE = 0x0231,
                               WM_EXITSIZEMOVE = 0x0232, WM_USER = 0x0400;

// Window longs and styles.
inline constexpr int GWL_WNDPROC = -4, GWL_STYLE = -16, GWL_EXSTYLE = -20;
inline constexpr std::intptr_t WS_CAPTION = 0xC00000, WS_SYSMENU = 0x80000,
                               WS_EX_APPWINDOW = 0x40000;

// SetWindowPos.
inline constexpr Hwnd HWND_TOP = 0, HWND_BOTTOM = 1, HWND_TOPMOST = static_cast<Hwnd>(-1),
                      HWND_NOTOPMOST = static_cast<Hwnd>(-2);
inline constexpr std::uint32_t SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4,
                               SWP_NOACTIVATE = 0x10, SWP_FRAMECHANGED = 0x20;

// ShowWindow.
inline constexpr int SW_HIDE = 0, SW_SHOW = 5;

// GetSystemMetrics.
inline constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
                     SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37;

// System menu commands.
inline constexpr std::uint32_t SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020,
                               SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060, SC_RESTORE = 0xF120,
                               MF_BYCOMMAND = 0;

inline constexpr int VK_CONTROL = 0x11;
inline constexpr std::uint32_t MB_OK = 0, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40;

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual std::uintptr_t SHAppBarMessage(std::uint32_t message, AppBarData& data) = 0;

    virtual std::intptr_t GetWindowLong(Hwnd window, int index) = 0;
    // Returns the previous value, as Win32 does.
    virtual std::intptr_t SetWindowLong(Hwnd window, int index, std::intptr_t value) = 0;
    virtual LResult CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message, WParam wParam,
                                   LParam lParam) = 0;
    // Delivers a message through the window's current procedure.
    virtual LResult SendMessage(Hwnd window, std::uint32_t message, WParam wParam,
                                LParam lParam) = 0;

    virtual bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;
    virtual bool ShowWindow(Hwnd window, int command) = 0;
    virtual bool IsWindowVisible(Hwnd window) = 0;
    virtual bool UpdateWindow(Hwnd window) = 0;
    virtual bool GetWindowRect(Hwnd window, Rect& rect) = 0;
    virtual bool GetClientRect(Hwnd window, Rect& rect) = 0;
    virtual bool ClientToScreen(Hwnd window, Point& point) = 0;

    virtual bool SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
    virtual bool KillTimer(Hwnd window, std::uintptr_t id) = 0;

    virtual int GetSystemMetrics(int index) = 0;
    // SystemParametersInfo for the two settings the bar reads.
    virtual bool GetWorkArea(Rect& rect) = 0;
    virtual bool GetDragFullWindows() = 0;

    virtual bool GetCursorPos(Point& point) = 0;
    virtual std::uint32_t GetMessagePos() = 0;
    virtual std::int16_t GetKeyState(int virtualKey) = 0;
    virtual Hwnd GetActiveWindow() = 0;

    virtual Hmenu GetSystemMenu(Hwnd window, bool revert) = 0;
    virtual bool DeleteMenu(Hmenu menu, std::uint32_t item, std::uint32_t flags) = 0;

    virtual int MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                           std::uint32_t style) = 0;
    virtual std::uint32_t GetTickCount() = 0;
    // The number of a message known by name across programs; 0 where the system has none.
    virtual std::uint32_t RegisterWindowMessage(const std::string& name) = 0;
};

} // namespace quill::platform
