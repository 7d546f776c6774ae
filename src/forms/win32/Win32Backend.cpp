#include "forms/win32/Win32Backend.h"

#include "forms/Application.h"
#include "forms/ChangesAfterTimers.h"
#include "forms/GuardedCall.h"
#include "forms/Scheduler.h"
#include "forms/win32/Fonts.h"
#include "forms/win32/FormWindow.h"
#include "forms/win32/NativeChoosers.h"
#include "forms/win32/TrackingTip.h"
#include "forms/win32/Windows.h"
#include "platform/win32/Wide.h"

#include <algorithm>
#include <cmath>

namespace quill::forms::win32 {

namespace {

constexpr wchar_t kWakeClass[] = L"QuillmarkWake";
constexpr UINT_PTR kWakeTimer = 1;
constexpr float kTwipsPerInch = 1440;
// Wide enough for a few lines of a paragraph, narrow enough to read without losing the line.
constexpr float kTipWidthTwips = 6300;

bool isInput(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

} // namespace

struct Win32Backend::State {
    Application* app = nullptr;
    Fonts fonts;
    ChangesAfterTimers changes;
    HWND wake = nullptr; // message-only: it carries the scheduler's one timer
    bool wakeActive = false;
    double wakeTarget = 0;
    // The wake timer repeats while every wake-up asks for the next tick, as the strip's does:
    // re-arming it each tick would cost two calls of the window system a tick.
    bool wakeRepeats = false;
    bool wakeAsked = false;
    LARGE_INTEGER frequency{}, start{};
    float twipsPerPixelX = 15, twipsPerPixelY = 15;
    TrackingTip tip;

    double elapsedMilliseconds() const {
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        return static_cast<double>(counter.QuadPart - start.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    }

    static LRESULT CALLBACK wakeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message != WM_TIMER || wParam != kWakeTimer || state == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (!state->wakeRepeats) {
            KillTimer(hwnd, kWakeTimer);
            state->wakeActive = false;
        }
        state->wakeAsked = false;
        if (state->app != nullptr) {
            state->changes.run([state] { callGuarded([state] { state->app->runDueTimers(); }); });
            // A handler that threw skipped the next request; the other timers still need it.
            callGuarded([state] { state->app->timersChanged(); });
        }
        if (state->wakeRepeats && !state->wakeAsked) {
            KillTimer(hwnd, kWakeTimer); // nothing left to wake for
            state->wakeRepeats = false;
            state->wakeActive = false;
        }
        return 0;
    }

    // Dispatches what is queued; true when some of it was input or the program is to end.
    bool pump() {
        bool input = false;
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Whoever runs the outer loop ends on it, not this pump.
                PostQuitMessage(static_cast<int>(message.wParam));
                return true;
            }
            input = input || isInput(message.message);
            dispatch(message);
        }
        return input;
    }

    static void dispatch(MSG& message) {
        if (!FormWindow::navigate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
};

Win32Backend::Win32Backend() : state_(std::make_unique<State>()) {
    QueryPerformanceFrequency(&state_->frequency);
    QueryPerformanceCounter(&state_->start);
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &State::wakeProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWakeClass;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
    state_->wake = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(state_->wake, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
    // Read once, as the fonts are: the program is aware of the system's density, not of each
    // screen's.
    state_->twipsPerPixelX = state_->twipsPerPixelY =
        kTwipsPerInch / static_cast<float>(screenDpi());
}

Win32Backend::~Win32Backend() {
    SetWindowLongPtrW(state_->wake, GWLP_USERDATA, 0);
    DestroyWindow(state_->wake);
}

void Win32Backend::attach(Application& app) {
    state_->app = &app;
}

std::unique_ptr<FormPeer> Win32Backend::createFormPeer(Form& form) {
    return std::make_unique<FormWindow>(form, state_->fonts, state_->changes);
}

TextSize Win32Backend::measureText(const Font& font, std::string_view utf8) {
    return state_->fonts.measure(font, utf8);
}

float Win32Backend::twipsPerPixelX() {
    return state_->twipsPerPixelX;
}

float Win32Backend::twipsPerPixelY() {
    return state_->twipsPerPixelY;
}

// The timers' clock advances in whole ticks of 1/64 s, as window timers see it. Timers enabled at
// different moments within one tick then come due together and share a wake-up.
double Win32Backend::now() {
    const double tick = Scheduler::kShortestPeriod;
    return std::floor(state_->elapsedMilliseconds() / tick) * tick;
}

void Win32Backend::wakeAt(double milliseconds) {
    state_->wakeAsked = true;
    if (state_->wakeActive && state_->wakeTarget == milliseconds) {
        return;
    }
    state_->wakeTarget = milliseconds;
    const double delay = Scheduler::wakeDelay(milliseconds, state_->elapsedMilliseconds());
    // Within a tick: a timer repeating a whole millisecond short of the tick serves every tick,
    // late by less than one, and finds nothing due only about once in 25.
    const bool nextTick = delay > 0 && delay <= Scheduler::kShortestPeriod;
    if (nextTick && state_->wakeRepeats && state_->wakeActive) {
        return;
    }
    const UINT interval =
        nextTick ? static_cast<UINT>(Scheduler::kShortestPeriod) : static_cast<UINT>(delay);
    // The same identifier replaces the earlier request.
    state_->wakeActive = SetTimer(state_->wake, kWakeTimer, interval, nullptr) != 0;
    state_->wakeRepeats = nextTick && state_->wakeActive;
}

void Win32Backend::pumpEvents() {
    state_->changes.outside([this] { state_->pump(); });
}

int Win32Backend::run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        State::dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

void Win32Backend::waitForEvents(int timeoutMilliseconds) {
    // Timer ticks run inside the wait without ending it: only input or the time-out does, so a
    // pointer resting on the bar costs no more than the strip's own timers.
    const ULONGLONG deadline =
        GetTickCount64() + static_cast<ULONGLONG>(std::max(0, timeoutMilliseconds));
    state_->changes.outside([&] {
        for (;;) {
            const ULONGLONG at = GetTickCount64();
            const DWORD left = at >= deadline ? 0 : static_cast<DWORD>(deadline - at);
            MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (state_->pump() || GetTickCount64() >= deadline) {
                return;
            }
        }
    });
}

int Win32Backend::messageBox(platform::Hwnd owner, const std::string& text,
                             const std::string& caption, std::uint32_t style) {
    int answer = 0;
    state_->changes.outside([&] {
        answer = MessageBoxW(reinterpret_cast<HWND>(owner), platform::win32::widen(text).c_str(),
                             platform::win32::widen(caption).c_str(), style);
    });
    return answer;
}

platform::Hwnd Win32Backend::showTip(platform::Hwnd owner, platform::Point pointer,
                                     const std::string& text) {
    const int maxWidth = static_cast<int>(std::lround(kTipWidthTwips / state_->twipsPerPixelX));
    const HWND tip = state_->tip.show(reinterpret_cast<HWND>(owner), {pointer.x, pointer.y},
                                      platform::win32::widen(text), maxWidth);
    return reinterpret_cast<platform::Hwnd>(tip);
}

std::optional<std::size_t> Win32Backend::popupMenu(platform::Hwnd owner, platform::Point at,
                                                   const std::vector<MenuItem>& items) {
    std::optional<std::size_t> chosen;
    state_->changes.outside([&] {
        chosen = trackMenu(reinterpret_cast<HWND>(owner), {at.x, at.y}, items);
    });
    return chosen;
}

std::optional<std::filesystem::path> Win32Backend::chooseFile(platform::Hwnd owner,
                                                              const FileChoice& choice) {
    std::optional<std::filesystem::path> chosen;
    state_->changes.outside([&] { chosen = runFileDialog(reinterpret_cast<HWND>(owner), choice); });
    return chosen;
}

} // namespace quill::forms::win32
