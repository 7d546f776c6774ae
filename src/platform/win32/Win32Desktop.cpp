#include "platform/win32/Win32Desktop.h"

#include "platform/win32/Wide.h"

#include <windows.h>
// <shellapi.h> needs what <windows.h> declares.
#include <shellapi.h>

// The interface keeps the Win32 names; <windows.h> maps them to its A/W variants.
#undef CallWindowProc
#undef GetWindowLong
#undef MessageBox
#undef RegisterWindowMessage
#undef SendMessage
#undef SetWindowLong

namespace quill::platform::win32 {

static_assert(sizeof(void*) == 8, "window procedures pass through with the x64 convention only");
static_assert(sizeof(HWND) == sizeof(Hwnd) && sizeof(WPARAM) == sizeof(WParam) &&
              sizeof(LPARAM) == sizeof(LParam) && sizeof(LRESULT) == sizeof(LResult));

namespace {

HWND handle(Hwnd window) {
    return reinterpret_cast<HWND>(window);
}

RECT toNative(const Rect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

Rect fromNative(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

WNDPROC toNative(WndProc proc) {
    // Through the generic function pointer type: the two signatures differ in name only.
    return reinterpret_cast<WNDPROC>(reinterpret_cast<void (*)()>(proc));
}

} // namespace

std::uintptr_t Win32Desktop::SHAppBarMessage(std::uint32_t message, AppBarData& data) {
    APPBARDATA native{};
    // The record's size is this process's, whatever the caller wrote: the shell refuses the
    // 36 bytes of a 32-bit record from a 64-bit program.
    native.cbSize = sizeof(native);
    native.hWnd = handle(data.hWnd);
    native.uCallbackMessage = data.uCallbackMessage;
    native.uEdge = data.uEdge;
    native.rc = toNative(data.rc);
    native.lParam = data.lParam;
    const UINT_PTR result = ::SHAppBarMessage(message, &native);
    data.uCallbackMessage = native.uCallbackMessage;
    data.uEdge = native.uEdge;
    data.rc = fromNative(native.rc);
    data.lParam = native.lParam;
    return result;
}

std::intptr_t Win32Desktop::GetWindowLong(Hwnd window, int index) {
    // GWL_WNDPROC, GWL_STYLE and GWL_EXSTYLE have the values of their GWLP_ counterparts.
    return ::GetWindowLongPtrW(handle(window), index);
}

std::intptr_t Win32Desktop::SetWindowLong(Hwnd window, int index, std::intptr_t value) {
    return ::SetWindowLongPtrW(handle(window), index, value);
}

LResult Win32Desktop::CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message,
                                     WParam wParam, LParam lParam) {
    return ::CallWindowProcW(toNative(proc), handle(window), message, wParam, lParam);
}

LResult Win32Desktop::SendMessage(Hwnd window, std::uint32_t message, WParam wParam,
                                  LParam lParam) {
    return ::SendMessageW(handle(window), message, wParam, lParam);
}

bool Win32Desktop::SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy,
                                std::uint32_t flags) {
    // The insert-after values (0, 1, -1, -2) are Win32's own.
    return ::SetWindowPos(handle(window), handle(insertAfter), x, y, cx, cy, flags) != FALSE;
}

bool Win32Desktop::ShowWindow(Hwnd window, int command) {
    return ::ShowWindow(handle(window), command) != FALSE;
}

bool Win32Desktop::IsWindowVisible(Hwnd window) {
    return ::IsWindowVisible(handle(window)) != FALSE;
}

bool Win32Desktop::UpdateWindow(Hwnd window) {
    return ::UpdateWindow(handle(window)) != FALSE;
}

bool Win32Desktop::GetWindowRect(Hwnd window, Rect& rect) {
    RECT native;
    if (::GetWindowRect(handle(window), &native) == FALSE) {
        return false;
    }
    rect = fromNative(native);
    return true;
}

bool Win32Desktop::GetClientRect(Hwnd window, Rect& rect) {
    RECT native;
    if (::GetClientRect(handle(window), &native) == FALSE) {
        return false;
    }
    rect = fromNative(native);
    return true;
}

bool Win32Desktop::ClientToScreen(Hwnd window, Point& point) {
    POINT native{point.x, point.y};
    if (::ClientToScreen(handle(window), &native) == FALSE) {
        return false;
    }
    point = Point{native.x, native.y};
    return true;
}

bool Win32Desktop::SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t milliseconds) {
    return ::SetTimer(handle(window), id, milliseconds, nullptr) != 0;
}

bool Win32Desktop::KillTimer(Hwnd window, std::uintptr_t id) {
    return ::KillTimer(handle(window), id) != FALSE;
}

int Win32Desktop::GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

bool Win32Desktop::GetWorkArea(Rect& rect) {
    RECT native;
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &native, 0) == FALSE) {
        return false;
    }
    rect = fromNative(native);
    return true;
}

bool Win32Desktop::GetDragFullWindows() {
    BOOL on = FALSE;
    return ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) != FALSE && on != FALSE;
}

bool Win32Desktop::GetCursorPos(Point& point) {
    POINT native;
    if (::GetCursorPos(&native) == FALSE) {
        return false;
    }
    point = Point{native.x, native.y};
    return true;
}

std::uint32_t Win32Desktop::GetMessagePos() {
    return ::GetMessagePos();
}

std::int16_t Win32Desktop::GetKeyState(int virtualKey) {
    return ::GetKeyState(virtualKey);
}

Hwnd Win32Desktop::GetActiveWindow() {
    return reinterpret_cast<Hwnd>(::GetActiveWindow());
}

Hmenu Win32Desktop::GetSystemMenu(Hwnd window, bool revert) {
    return reinterpret_cast<Hmenu>(::GetSystemMenu(handle(window), revert ? TRUE : FALSE));
}

bool Win32Desktop::DeleteMenu(Hmenu menu, std::uint32_t item, std::uint32_t flags) {
    return ::DeleteMenu(reinterpret_cast<HMENU>(menu), item, flags) != FALSE;
}

int Win32Desktop::MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
    return ::MessageBoxW(handle(owner), widen(text).c_str(), widen(caption).c_str(), style);
}

std::uint32_t Win32Desktop::GetTickCount() {
    return ::GetTickCount();
}

std::uint32_t Win32Desktop::RegisterWindowMessage(const std::string& name) {
    return ::RegisterWindowMessageW(widen(name).c_str());
}

} // namespace quill::platform::win32
