#include "forms/win32/FullScreenCover.h"

#include <algorithm>
#include <vector>

namespace quill::forms::win32 {

namespace {

constexpr UINT kLookIntervalMs = 500;

// One hook and one look timer for every watched window.
std::vector<FullScreenCover*> watching;
HWINEVENTHOOK foregroundHook = nullptr;
UINT_PTR lookTimer = 0;

bool fills(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

} // namespace

void FullScreenCover::watch(HWND window, std::function<void()> changed) {
    window_ = window;
    changed_ = std::move(changed);
    if (watching.empty()) {
        foregroundHook =
            SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                            &FullScreenCover::foregroundChanged, 0, 0, WINEVENT_OUTOFCONTEXT);
    }
    watching.push_back(this);
}

void FullScreenCover::forget() {
    if (window_ == nullptr) {
        return;
    }
    window_ = nullptr;
    std::erase(watching, this);
    if (watching.empty()) {
        UnhookWinEvent(foregroundHook);
    }
    lookAtAll(); // the look timer may have been this window's alone
}

void FullScreenCover::lookAgain() {
    const HWND front = GetForegroundWindow();
    bool now = false;
    const bool above = (GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (front != nullptr && front != window_ && !above && IsWindowVisible(front) != FALSE &&
        IsWindowVisible(window_) != FALSE) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        RECT frontRect{};
        now = GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor) &&
              GetWindowRect(front, &frontRect) && fills(frontRect, monitor.rcMonitor);
    }
    const bool wasCovered = covered_;
    covered_ = now;
    const bool anyCovered =
        std::any_of(watching.begin(), watching.end(), [](auto* cover) { return cover->covered_; });
    if (anyCovered && lookTimer == 0) {
        lookTimer = SetTimer(nullptr, 0, kLookIntervalMs, &FullScreenCover::lookTick);
    } else if (!anyCovered && lookTimer != 0) {
        KillTimer(nullptr, lookTimer);
        lookTimer = 0;
    }
    if (now != wasCovered) {
        changed_();
    }
}

void FullScreenCover::lookAtAll() {
    for (FullScreenCover* cover : std::vector(watching)) {
        if (std::find(watching.begin(), watching.end(), cover) != watching.end()) {
            cover->lookAgain();
        }
    }
    if (watching.empty() && lookTimer != 0) {
        KillTimer(nullptr, lookTimer);
        lookTimer = 0;
    }
}

void CALLBACK FullScreenCover::foregroundChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD,
                                                 DWORD) {
    lookAtAll();
}

void CALLBACK FullScreenCover::lookTick(HWND, UINT, UINT_PTR, DWORD) {
    lookAtAll();
}

} // namespace quill::forms::win32
