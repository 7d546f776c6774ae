#include "appbar/Geometry.h"
#include "appbar/TAppBar.h"
#include "forms/Application.h"
#include "forms/Form.h"

namespace quill::appbar {

using namespace platform;

namespace {

constexpr std::uint32_t kAppBarDataSize = 36;

std::int32_t extent(std::int32_t from, std::int32_t to) {
    return int32Checked(std::int64_t{to} - from);
}

// One frame of the slide: from + (to - from) * k / T in 32-bit steps, truncating.
std::int32_t between(std::int32_t from, std::int32_t to, std::int32_t k, std::int32_t total) {
    const std::int32_t distance = int32Checked(std::int64_t{from} - to);
    const std::int32_t covered = int32Checked(std::int64_t{distance} * k) / total;
    return int32Checked(std::int64_t{from} - covered);
}

bool isShellEdge(int edge) {
    return edge >= static_cast<int>(ABE_LEFT) && edge <= static_cast<int>(ABE_BOTTOM);
}

} // namespace

std::uintptr_t TAppBar::AppBarMessage(std::uint32_t message, int edge, LParam lParam, Rect* rect) {
    AppBarData data;
    data.cbSize = kAppBarDataSize;
    data.hWnd = hwnd();
    data.uCallbackMessage = AppBarCallbackMessage;
    data.uEdge = static_cast<std::uint32_t>(edge);
    if (rect != nullptr) {
        data.rc = *rect;
    }
    data.lParam = lParam;
    const std::uintptr_t result = desktop_.SHAppBarMessage(message, data);
    if (rect != nullptr) {
        *rect = data.rc;
    }
    return result;
}

std::uintptr_t TAppBar::SendBarMessage(std::uint32_t message) {
    return AppBarMessage(message, EdgeFloat, 0, nullptr);
}

std::uintptr_t TAppBar::SendBarMessageParam(std::uint32_t message, int edge, LParam lParam) {
    return AppBarMessage(message, edge, lParam, nullptr);
}

std::uintptr_t TAppBar::SendBarMessageRect(std::uint32_t message, int edge, LParam lParam,
                                           Rect& rect) {
    return AppBarMessage(message, edge, lParam, &rect);
}

void TAppBar::setEdge(int edge) {
    // The left edge's auto-hide claim goes, whatever edge the bar had.
    SendBarMessageParam(ABM_SETAUTOHIDEBAR, ABE_LEFT, 0);
    block_.Edge = edge;
    if (edge == EdgeNone) {
        SendBarMessage(ABM_REMOVE);
    } else if (edge == EdgeFloat) {
        Rect nothing;
        SendBarMessageRect(ABM_SETPOS, EdgeFloat, 0, nothing);
        placeFloating();
    } else {
        dock(edge);
    }
    desktop_.SetWindowPos(hwnd(), zOrder(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SendBarMessage(ABM_ACTIVATE);
    UpdateFrameStyle(false, edge);
    updateTaskbarButton(edge);
}

void TAppBar::placeFloating() {
    forms::Form& f = form();
    const float tx = f.app().twipsPerPixelX(), ty = f.app().twipsPerPixelY();
    const auto& b = block_;
    f.move(static_cast<float>(b.FloatLeft) * tx, static_cast<float>(b.FloatTop) * ty,
           static_cast<float>(extent(b.FloatLeft, b.FloatRight)) * tx,
           static_cast<float>(extent(b.FloatTop, b.FloatBottom)) * ty);
}

void TAppBar::dock(int edge) {
    // Asked for on every docking; only an auto-hide bar minds a refusal.
    const std::uintptr_t granted = SendBarMessageParam(ABM_SETAUTOHIDEBAR, Edge(), -1);
    if (granted == 0 && AutoHide()) {
        setAutoHide(false);
        ShowAutoHideConflict();
    }
    Rect rect;
    QueryBarRect(Edge(), rect);
    if (AutoHide()) {
        Rect nothing;
        SendBarMessageRect(ABM_SETPOS, ABE_LEFT, 0, nothing);
    } else {
        SendBarMessageRect(ABM_SETPOS, edge, 0, rect);
    }
    AutoHideRect(BarShown(), rect);
    MoveBar(rect);
}

Hwnd TAppBar::zOrder() const {
    if (!AlwaysOnTop()) {
        return HWND_NOTOPMOST;
    }
    return FullScreenApp() ? HWND_BOTTOM : HWND_TOPMOST;
}

void TAppBar::updateTaskbarButton(int edge) {
    enum class Change { Add, Remove, Keep };
    Change change = Change::Keep;
    switch (block_.TaskbarButton) {
    case 0:
        change = Change::Add;
        break;
    case 1:
        change = Change::Remove;
        break;
    case 2:
        change = isShellEdge(edge)   ? Change::Remove
                 : edge == EdgeFloat ? Change::Add
                                     : Change::Keep;
        break;
    default:
        break;
    }
    if (change != Change::Keep) {
        const bool add = change == Change::Add;
        ModifyStyle(hwnd(), GWL_EXSTYLE, add ? 0 : WS_EX_APPWINDOW, add ? WS_EX_APPWINDOW : 0, 0,
                    true);
    }
}

void TAppBar::QueryBarRect(int edge, Rect& rect) {
    if (edge == EdgeFloat) {
        return;
    }
    rect = {0, 0, desktop_.GetSystemMetrics(SM_CXSCREEN), desktop_.GetSystemMetrics(SM_CYSCREEN)};
    if (!AutoHide()) {
        SendBarMessageRect(ABM_QUERYPOS, edge, 0, rect);
    }
    const auto& b = block_;
    switch (edge) {
    case ABE_LEFT:
        rect.right = int32Checked(std::int64_t{rect.left} + b.DockedWidth);
        break;
    case ABE_TOP:
        rect.bottom = int32Checked(std::int64_t{rect.top} + b.DockedHeight);
        break;
    case ABE_RIGHT:
        rect.left = int32Checked(std::int64_t{rect.right} - b.DockedWidth);
        break;
    case ABE_BOTTOM:
        rect.top = int32Checked(std::int64_t{rect.bottom} - b.DockedHeight);
        break;
    default:
        break;
    }
}

void TAppBar::MoveBar(const Rect& rect) {
    const bool fullWindowDrag = desktop_.GetDragFullWindows();
    Rect current;
    desktop_.GetWindowRect(hwnd(), current);
    if (current != rect && SlideEffect() && fullWindowDrag) {
        slide(current, rect);
    }
    forms::Form& f = form();
    const float tx = f.app().twipsPerPixelX(), ty = f.app().twipsPerPixelY();
    f.move(static_cast<float>(rect.left) * tx, static_cast<float>(rect.top) * ty,
           static_cast<float>(extent(rect.left, rect.right)) * tx,
           static_cast<float>(extent(rect.top, rect.bottom)) * ty);
}

void TAppBar::slide(const Rect& from, const Rect& to) {
    const std::int32_t total = block_.SlideTime;
    if (total <= 0) {
        return;
    }
    const Hwnd window = hwnd();
    const std::int32_t fromWidth = extent(from.left, from.right);
    const std::int32_t fromHeight = extent(from.top, from.bottom);
    const std::int32_t toWidth = extent(to.left, to.right);
    const std::int32_t toHeight = extent(to.top, to.bottom);
    // Elapsed time as an unsigned difference stays right when the tick count wraps.
    const std::uint32_t start = desktop_.GetTickCount();
    for (std::uint32_t elapsed = 0; elapsed < static_cast<std::uint32_t>(total);
         elapsed = desktop_.GetTickCount() - start) {
        const auto k = static_cast<std::int32_t>(elapsed);
        desktop_.SetWindowPos(window, HWND_TOP, between(from.left, to.left, k, total),
                              between(from.top, to.top, k, total),
                              between(fromWidth, toWidth, k, total),
                              between(fromHeight, toHeight, k, total),
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        desktop_.UpdateWindow(window);
    }
}

void TAppBar::UpdateFrameStyle(bool dragging, int edge) {
    const bool fullWindowDrag = desktop_.GetDragFullWindows();
    if (dragging && !fullWindowDrag) {
        return; // an outline drag shows no frame change
    }
    constexpr std::intptr_t frame = WS_CAPTION | WS_SYSMENU;
    const bool floating = edge == EdgeFloat;
    ModifyStyle(hwnd(), GWL_STYLE, floating ? 0 : frame, floating ? frame : 0, SWP_FRAMECHANGED,
                false);
}

bool TAppBar::ModifyStyle(Hwnd window, int index, std::intptr_t removeBits, std::intptr_t addBits,
                          std::uint32_t positionFlags, bool hideAround) {
    const std::intptr_t old = desktop_.GetWindowLong(window, index);
    const std::intptr_t updated = (old & ~removeBits) | addBits;
    if (updated == old) {
        return false;
    }
    if (hideAround) {
        desktop_.ShowWindow(window, SW_HIDE);
    }
    desktop_.SetWindowLong(window, index, updated);
    if (hideAround) {
        desktop_.ShowWindow(window, SW_SHOW);
    }
    if (positionFlags != 0) {
        desktop_.SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                              positionFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                                  SWP_NOACTIVATE);
    }
    return true;
}

} // namespace quill::appbar
