#include "forms/win32/SessionSight.h"

#include <wtsapi32.h>

namespace quill::forms::win32 {

namespace {

// GUID_CONSOLE_DISPLAY_STATE; its data is 0 for off, 1 for on and 2 for dimmed (still seen).
constexpr GUID kConsoleDisplayState{
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr UCHAR kDisplayOff = 0;

} // namespace

void SessionSight::watch(HWND window) {
    window_ = window;
    WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION);
    // Answered at once with the display's present state.
    display_ = RegisterPowerSettingNotification(window_, &kConsoleDisplayState,
                                                DEVICE_NOTIFY_WINDOW_HANDLE);
}

void SessionSight::forget() {
    if (display_ != nullptr) {
        UnregisterPowerSettingNotification(display_);
        display_ = nullptr;
    }
    if (window_ != nullptr) {
        WTSUnRegisterSessionNotification(window_);
        window_ = nullptr;
    }
}

bool SessionSight::message(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool before = seen();
    if (message == WM_WTSSESSION_CHANGE &&
        (wParam == WTS_SESSION_LOCK || wParam == WTS_SESSION_UNLOCK)) {
        locked_ = wParam == WTS_SESSION_LOCK;
    } else if (message == WM_POWERBROADCAST && wParam == PBT_POWERSETTINGCHANGE && lParam != 0) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
        if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) && setting->DataLength >= 1) {
            displayOn_ = setting->Data[0] != kDisplayOff;
        }
    }
    return seen() != before;
}

} // namespace quill::forms::win32
