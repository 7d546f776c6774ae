#include "appbar/CBAppBar.h"

#include "appbar/TAppBar.h"
#include "forms/Application.h"
#include "forms/Form.h"

#include <stdexcept>

namespace quill::appbar::CBAppBar {

using namespace platform;

namespace {

HookState hook;

std::intptr_t procedureValue(WndProc proc) {
    return reinterpret_cast<std::intptr_t>(proc);
}

// The record a message's lParam points to.
template <class Record> Record& recordAt(LParam lParam) {
    if (lParam == 0) {
        throw std::invalid_argument("window message without its record");
    }
    return *reinterpret_cast<Record*>(lParam);
}

// The bar's part before the form's own processing; true when the form must not see the message.
bool handleBefore(TAppBar& bar, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_GETMINMAXINFO:
        bar.OnGetMinMaxInfo(recordAt<MinMaxInfo>(lParam));
        return true;
    case WM_NCMOUSEMOVE:
        bar.OnNcMouseMove();
        return false;
    case WM_TIMER:
        bar.OnTimer();
        return false;
    case WM_SIZING:
        bar.OnSizing(wParam, recordAt<Rect>(lParam));
        return true;
    case WM_MOVING:
        bar.OnMoving(recordAt<Rect>(lParam));
        return true;
    case WM_ENTERSIZEMOVE:
        bar.OnEnterSizeMove();
        return true;
    case WM_EXITSIZEMOVE:
        bar.OnExitSizeMove();
        return true;
    case AppBarCallbackMessage:
        bar.OnAppBarNotify(wParam, lParam);
        return true;
    default:
        return false;
    }
}

// The bar's part after the form's own processing, which gave result.
void handleAfter(TAppBar& bar, std::uint32_t message, WParam wParam, LParam lParam,
                 LResult& result) {
    switch (message) {
    case WM_ACTIVATE:
        bar.OnActivate(wParam);
        break;
    case WM_WINDOWPOSCHANGED:
        bar.OnWindowPosChanged();
        break;
    case WM_DISPLAYCHANGE:
        bar.OnDisplayChange();
        break;
    case WM_NCHITTEST: {
        LResult hit = result; // a failing handler leaves the form's answer
        bar.OnNcHitTest(lParam, hit);
        result = hit;
        break;
    }
    default:
        if (message != 0 && message == hook.TaskbarCreated) {
            bar.OnTaskbarCreated();
        }
        break;
    }
}

} // namespace

void HookWindow(forms::Form& form, TAppBar& bar) {
    Desktop& desktop = form.app().desktop();
    hook.HookedWnd = form.hwnd();
    hook.HookedBar = &bar;
    hook.desktop = &desktop;
    hook.TaskbarCreated = desktop.RegisterWindowMessage("TaskbarCreated");
    const std::intptr_t previous =
        desktop.SetWindowLong(hook.HookedWnd, GWL_WNDPROC, procedureValue(&AppBarWndProc));
    // Hooking the same window again must not make the procedure call itself.
    if (previous != procedureValue(&AppBarWndProc)) {
        hook.PrevWndProc = reinterpret_cast<WndProc>(previous);
    }
}

void UnhookWindow() {
    if (hook.desktop != nullptr) {
        hook.desktop->SetWindowLong(hook.HookedWnd, GWL_WNDPROC, procedureValue(hook.PrevWndProc));
    }
}

LResult AppBarWndProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    TAppBar* bar = hook.HookedBar;
    // A bar that fails on a message leaves it unhandled: the form's own procedure gets it.
    bool handled = false;
    if (bar != nullptr) {
        try {
            handled = handleBefore(*bar, message, wParam, lParam);
        } catch (...) {
            handled = false;
        }
    }
    if (handled) {
        return 0;
    }
    LResult result = 0;
    try {
        if (hook.desktop != nullptr) {
            result =
                hook.desktop->CallWindowProc(hook.PrevWndProc, window, message, wParam, lParam);
        }
        // The handler above may have detached or released the bar.
        if (hook.HookedBar != nullptr) {
            handleAfter(*hook.HookedBar, message, wParam, lParam, result);
        }
    } catch (...) {
        // Nothing crosses the window system's boundary; the result so far stands.
    }
    return result;
}

void ReleaseBar(const TAppBar& bar) {
    if (hook.HookedBar == &bar) {
        hook.HookedBar = nullptr;
    }
}

const HookState& state() {
    return hook;
}

} // namespace quill::appbar::CBAppBar
