#pragma once

#include "platform/Desktop.h"

namespace quill::platform::win32 {

// The Desktop interface on the real Windows API and shell. Window procedures pass through
// unchanged: on x64 the interface's WndProc has the WNDPROC calling convention and layout.
class Win32Desktop final : public Desktop {
public:
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
    std::uint32_t RegisterWindowMessage(const std::string& name) override;
};

} // namespace quill::platform::win32
