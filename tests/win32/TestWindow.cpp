#include "TestWindow.h"

#include <algorithm>
#include <stdexcept>
#include <windows.h>

namespace quill::testing {

namespace {

constexpr wchar_t kClassName[] = L"QuillmarkTestWindow";

HWND handle(platform::Hwnd window) {
    return reinterpret_cast<HWND>(window);
}

LRESULT CALLBACK ownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        self->receive(message, wParam);
    }
    if (message >= WM_APP && message <= 0xBFFF) {
        return static_cast<LRESULT>(wParam + 1);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool displayAvailable() {
    // Wine passes the Unix environment through.
    return GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 1;
}

bool pumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
}

TestWindow::TestWindow(const platform::Rect& rect, std::intptr_t extraStyle) {
    static const ATOM registered = [] {
        WNDCLASSW kind{};
        kind.lpfnWndProc = &ownProcedure;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.lpszClassName = kClassName;
        return RegisterClassW(&kind);
    }();
    if (registered == 0) {
        throw std::runtime_error("RegisterClassW failed");
    }
    const auto style = static_cast<DWORD>(WS_POPUP | WS_VISIBLE | extraStyle);
    HWND window =
        CreateWindowExW(0, kClassName, L"Quillmark test", style, rect.left, rect.top, rect.width(),
                        rect.height(), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        throw std::runtime_error("CreateWindowExW failed");
    }
    hwnd_ = reinterpret_cast<platform::Hwnd>(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestWindow::~TestWindow() {
    SetWindowLongPtrW(handle(hwnd_), GWLP_USERDATA, 0);
    DestroyWindow(handle(hwnd_));
}

bool TestWindow::hasReceived(std::uint32_t message, platform::WParam wParam) const {
    return std::any_of(received_.begin(), received_.end(), [&](const Received& seen) {
        return seen.message == message && seen.wParam == wParam;
    });
}

} // namespace quill::testing
