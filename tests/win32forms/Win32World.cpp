#include "Win32World.h"

namespace quill::testing {

void Win32World::show(forms::Form& form) {
    const HWND hwnd = toHwnd(form.hwnd());
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    backend.pumpEvents();
    UpdateWindow(hwnd);
}

bool Win32World::waitUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 2000;
    while (!done()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        backend.waitForEvents(20);
    }
    return true;
}

COLORREF Win32World::pixel(const forms::Form& form, int x, int y) {
    const HWND hwnd = toHwnd(form.hwnd());
    UpdateWindow(hwnd);
    HDC dc = GetDC(hwnd);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return color;
}

void Win32World::postClick(HWND hwnd, int x, int y) {
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

} // namespace quill::testing
