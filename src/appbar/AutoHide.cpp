#include "appbar/Geometry.h"
#include "appbar/TAppBar.h"
#include "forms/Form.h"

namespace quill::appbar {

using namespace platform;

bool TAppBar::AutoHideRect(bool shown, Rect& rect) {
    const int edge = Edge();
    if (!AutoHide() || edge == EdgeFloat || edge == EdgeNone) {
        return false;
    }
    const std::int64_t width = std::int64_t{rect.right} - rect.left;
    const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    const std::int64_t screenWidth = desktop_.GetSystemMetrics(SM_CXSCREEN);
    const std::int64_t screenHeight = desktop_.GetSystemMetrics(SM_CYSCREEN);
    std::int64_t x = 0, y = 0;
    if (shown) {
        if (edge == static_cast<int>(ABE_RIGHT)) {
            x = screenWidth - width;
        } else if (edge == static_cast<int>(ABE_BOTTOM)) {
            y = screenHeight - height;
        }
    } else {
        // A hidden bar leaves a sliver of twice the border on the screen.
        const std::int64_t sliverX = 2 * std::int64_t{desktop_.GetSystemMetrics(SM_CXBORDER)};
        const std::int64_t sliverY = 2 * std::int64_t{desktop_.GetSystemMetrics(SM_CYBORDER)};
        switch (edge) {
        case ABE_LEFT:
            x = sliverX - width;
            break;
        case ABE_TOP:
            y = sliverY - height;
            break;
        case ABE_RIGHT:
            x = screenWidth - sliverX;
            break;
        case ABE_BOTTOM:
            y = screenHeight - sliverY;
            break;
        default:
            break;
        }
    }
    rect = {int32Checked(x), int32Checked(y), int32Checked(x + width), int32Checked(y + height)};
    return true;
}

void TAppBar::SetShown(bool show) {
    Rect rect;
    desktop_.GetWindowRect(hwnd(), rect);
    barShown_ = kTrue16;
    if (AutoHideRect(show, rect)) {
        barShown_ = toBool16(show);
        MoveBar(rect);
    }
}

void TAppBar::OnNcMouseMove() {
    SetShown(true);
}

void TAppBar::OnTimer() {
    const Hwnd window = hwnd();
    if (desktop_.GetActiveWindow() == window) {
        return;
    }
    // Without auto-hide a tick only marks the bar shown: where the pointer is does not matter,
    // and asking is a round trip to the display server several times a second, seen or not.
    if (!AutoHide()) {
        barShown_ = kTrue16;
        return;
    }
    const Point cursor = MessagePoint();
    Rect near;
    desktop_.GetWindowRect(window, near);
    const std::int64_t growX = 2 * std::int64_t{desktop_.GetSystemMetrics(SM_CXDOUBLECLK)};
    const std::int64_t growY = 2 * std::int64_t{desktop_.GetSystemMetrics(SM_CYDOUBLECLK)};
    near = {int32Checked(near.left - growX), int32Checked(near.top - growY),
            int32Checked(near.right + growX), int32Checked(near.bottom + growY)};
    if (!PointInRect(near, cursor)) {
        SetShown(false);
    }
}

void TAppBar::ShowAutoHideConflict() {
    forms::Form& f = form();
    desktop_.MessageBox(f.hwnd(),
                        "There is already an auto hidden window on this edge.\n\r"
                        "Only one auto hidden window is allowed on each edge.",
                        f.caption(), MB_ICONINFORMATION);
}

} // namespace quill::appbar
