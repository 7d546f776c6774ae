#include "appbar/TAppBar.h"

namespace quill::appbar {

using namespace platform;

void TAppBar::OnAppBarNotify(WParam code, LParam lParam) {
    switch (code) {
    case ABN_FULLSCREENAPP:
        OnFullScreenApp(lParam != 0);
        break;
    case ABN_POSCHANGED:
        OnPosChanged();
        break;
    default:
        break; // state changes and window arrangement leave the bar alone
    }
}

void TAppBar::OnFullScreenApp(bool open) {
    fullScreenApp_ = toBool16(open);
    UpdateBar(); // the Z order follows FullScreenApp
}

void TAppBar::OnPosChanged() {
    // Only a bar that reserves space has to ask the shell again.
    if (!AutoHide() && Edge() != EdgeFloat) {
        UpdateBar();
    }
}

void TAppBar::OnDisplayChange() {
    // A bar that floats keeps its place; every other docks again, as at a shell's notice.
    if (Edge() != EdgeFloat) {
        UpdateBar();
    }
    if (DisplayChanged) {
        DisplayChanged();
    }
}

void TAppBar::OnTaskbarCreated() {
    SendBarMessage(ABM_NEW);
    UpdateBar();
}

void TAppBar::OnActivate(WParam wParam) {
    if (wParam == 0) {
        SetShown(false);
    }
    SendBarMessage(ABM_ACTIVATE);
}

void TAppBar::OnWindowPosChanged() {
    SendBarMessage(ABM_WINDOWPOSCHANGED);
}

} // namespace quill::appbar
