#include "forms/win32/TrackingTip.h"

#include "forms/TipPlacement.h"

namespace quill::forms::win32 {

namespace {

platform::Rect toRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

TrackingTip::~TrackingTip() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool TrackingTip::create(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        return false;
    }
    tool_.cbSize = sizeof tool_;
    tool_.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool_.hwnd = owner;
    tool_.uId = reinterpret_cast<UINT_PTR>(owner);
    tool_.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool_));
    return true;
}

HWND TrackingTip::show(HWND owner, POINT pointer, const std::wstring& text, int maxWidth) {
    if (window_ == nullptr && !create(owner)) {
        return nullptr;
    }
    text_ = text;
    tool_.lpszText = text_.data();
    SendMessageW(window_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool_));
    SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
    SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool_));

    const auto bubble = static_cast<DWORD>(
        SendMessageW(window_, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool_)));
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const platform::Rect place =
        tipPlacement(toRect(ownerRect), toRect(monitor.rcMonitor), LOWORD(bubble), HIWORD(bubble),
                     {pointer.x, pointer.y});
    SendMessageW(window_, TTM_TRACKPOSITION, 0, MAKELPARAM(place.left, place.top));
    SendMessageW(window_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool_));
    // Some tool tips shift a tracked position by their border; the place must hold exactly to
    // keep the tip off the bar.
    SetWindowPos(window_, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window_;
}

} // namespace quill::forms::win32
