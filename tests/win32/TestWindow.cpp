#include "TestWindow.h"

#include "platform/win32/Wide.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
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
    if (message == TestWindow::kProbe) {
        return static_cast<LRESULT>(wParam + 1);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

MessageBoxAnswerer* answerer = nullptr;

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return platform::win32::narrow(text);
}

BOOL CALLBACK findShownDialog(HWND window, LPARAM found) {
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (std::wstring_view(kind) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK lookForMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findShownDialog, reinterpret_cast<LPARAM>(&box));
    if (box != nullptr && answerer != nullptr) {
        answerer->answer(reinterpret_cast<platform::Hwnd>(box));
    }
}

BOOL CALLBACK collectText(HWND control, LPARAM texts) {
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(windowText(control));
    return TRUE;
}

} // namespace

void moveCursorTo(const platform::Point& point) {
    SetCursorPos(point.x, point.y);
}

void pressKey(int virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

void activate(platform::Hwnd window) {
    SetActiveWindow(handle(window));
}

MessageBoxAnswerer::MessageBoxAnswerer() {
    answerer = this;
    timer_ = SetTimer(nullptr, 0, 20, lookForMessageBox);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    KillTimer(nullptr, timer_);
    answerer = nullptr;
}

void MessageBoxAnswerer::answer(platform::Hwnd box) {
    if (seen_) {
        return;
    }
    SeenMessageBox seen{windowText(handle(box)), {}};
    EnumChildWindows(handle(box), collectText, reinterpret_cast<LPARAM>(&seen.texts));
    seen_ = std::move(seen);
    PostMessageW(handle(box), WM_COMMAND, IDOK, 0);
}

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

bool TestWindow::topmost() const {
    return (GetWindowLongPtrW(handle(hwnd_), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool TestWindow::hasReceived(std::uint32_t message, platform::WParam wParam) const {
    return std::any_of(received_.begin(), received_.end(), [&](const Received& seen) {
        return seen.message == message && seen.wParam == wParam;
    });
}

} // namespace quill::testing
