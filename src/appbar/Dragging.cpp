#include "appbar/Geometry.h"
#include "appbar/SizeMoveCodes.h"
#include "appbar/TAppBar.h"

#include <cstdlib>

namespace quill::appbar {

using namespace platform;

namespace {

bool isTopOrBottom(int edge) {
    return edge == static_cast<int>(ABE_TOP) || edge == static_cast<int>(ABE_BOTTOM);
}

bool isLeftOrRight(int edge) {
    return edge == static_cast<int>(ABE_LEFT) || edge == static_cast<int>(ABE_RIGHT);
}

// A size snapped to the nearest whole number of steps above the minimum; step 0 keeps it.
std::int32_t snap(std::int32_t size, std::int32_t minimum, std::int32_t step) {
    if (step == 0) {
        return size;
    }
    const std::int32_t above = int32Checked(std::int64_t{size} - minimum + step / 2);
    return int32Checked(minimum + std::int64_t{step} * (above / step));
}

std::int32_t offset(std::int32_t from, std::int32_t by) {
    return int32Checked(std::int64_t{from} + by);
}

// A floating bar's sizing border with the directions that cannot size taken away.
LResult floatingBorder(LResult hit, bool widthSizes, bool heightSizes) {
    const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
    const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
    const LResult horizontal = !widthSizes ? 0 : left ? HTLEFT : right ? HTRIGHT : 0;
    const LResult vertical = !heightSizes ? 0 : top ? HTTOP : bottom ? HTBOTTOM : 0;
    if (horizontal != 0 && vertical != 0) {
        return hit;
    }
    if (horizontal != 0 || vertical != 0) {
        return horizontal != 0 ? horizontal : vertical;
    }
    return HTBORDER;
}

} // namespace

Point TAppBar::MessagePoint() {
    return unpackPoint(desktop_.GetMessagePos());
}

int TAppBar::EdgeFromPoint(Point point) {
    const bool control = (desktop_.GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (control && (block_.AllowedEdges & AllowFloat) != 0) {
        return EdgeFloat;
    }
    return ProposedEdge(block_.AllowedEdges, point);
}

int TAppBar::ProposedEdge(int flags, Point point) {
    if ((flags & AllowFloat) != 0) {
        Rect inner;
        desktop_.GetWorkArea(inner);
        const int scrollX = desktop_.GetSystemMetrics(SM_CXVSCROLL);
        const int scrollY = desktop_.GetSystemMetrics(SM_CYHSCROLL);
        inner = {offset(inner.left, scrollX), offset(inner.top, scrollY),
                 offset(inner.right, -scrollX), offset(inner.bottom, -scrollY)};
        const int anyEdge = AllowLeft | AllowRight | AllowTop | AllowBottom;
        if ((flags & anyEdge) == 0 || PointInRect(inner, point)) {
            return EdgeFloat;
        }
    }
    const std::int64_t screenWidth = desktop_.GetSystemMetrics(SM_CXSCREEN);
    const std::int64_t screenHeight = desktop_.GetSystemMetrics(SM_CYSCREEN);
    const std::int64_t dx = point.x - screenWidth / 2;
    const std::int64_t dy = point.y - screenHeight / 2;
    // Nearest edge by the screen's diagonals; a tie goes to left or right.
    int edge = 0;
    if (std::llabs(dy) * screenWidth <= std::llabs(dx) * screenHeight) {
        edge = dx < 0 ? ABE_LEFT : ABE_RIGHT;
    } else {
        edge = dy < 0 ? ABE_TOP : ABE_BOTTOM;
    }
    static constexpr int kEdgeBit[] = {AllowLeft, AllowTop, AllowRight, AllowBottom};
    if ((flags & kEdgeBit[edge]) == 0) {
        return (flags & AllowFloat) != 0 ? EdgeFloat : block_.Edge;
    }
    return edge;
}

void TAppBar::OnEnterSizeMove() {
    dragEdge_ = Edge();
}

void TAppBar::OnMoving(Rect& rect) {
    const Point point = MessagePoint();
    const int edge = EdgeFromPoint(point);
    if (dragEdge_ != EdgeFloat && edge == EdgeFloat) {
        // Pulled off its edge: the floating size, hanging from the cursor.
        const std::int32_t width = int32Checked(std::int64_t{block_.FloatRight} - block_.FloatLeft);
        const std::int32_t height =
            int32Checked(std::int64_t{block_.FloatBottom} - block_.FloatTop);
        rect.left = offset(point.x, -(width / 2));
        rect.top = point.y;
        rect.right = offset(rect.left, width);
        rect.bottom = offset(point.y, height);
    }
    dragEdge_ = edge;
    QueryBarRect(edge, rect);
    UpdateFrameStyle(true, edge);
}

void TAppBar::OnSizing(WParam side, Rect& rect) {
    const bool floating = block_.Edge == EdgeFloat;
    const std::int32_t minWidth = floating ? block_.FloatMinWidth : block_.DockedMinWidth;
    const std::int32_t minHeight = floating ? block_.FloatMinHeight : block_.DockedMinHeight;
    const std::int32_t width =
        snap(int32Checked(std::int64_t{rect.right} - rect.left), minWidth, block_.HorzSizeInc);
    const std::int32_t height =
        snap(int32Checked(std::int64_t{rect.bottom} - rect.top), minHeight, block_.VertSizeInc);
    const bool left = side == WMSZ_LEFT || side == WMSZ_TOPLEFT || side == WMSZ_BOTTOMLEFT;
    const bool right = side == WMSZ_RIGHT || side == WMSZ_TOPRIGHT || side == WMSZ_BOTTOMRIGHT;
    const bool top = side == WMSZ_TOP || side == WMSZ_TOPLEFT || side == WMSZ_TOPRIGHT;
    const bool bottom = side == WMSZ_BOTTOM || side == WMSZ_BOTTOMLEFT || side == WMSZ_BOTTOMRIGHT;
    if (left) {
        rect.left = offset(rect.right, -width);
    }
    if (right) {
        rect.right = offset(rect.left, width);
    }
    if (top) {
        rect.top = offset(rect.bottom, -height);
    }
    if (bottom) {
        rect.bottom = offset(rect.top, height);
    }
}

void TAppBar::OnGetMinMaxInfo(MinMaxInfo& info) {
    const int edge = Edge();
    const auto& b = block_;
    if (edge == EdgeFloat) {
        info.minTrackSize = {b.FloatMinWidth, b.FloatMinHeight};
        info.maxTrackSize = {b.FloatMaxWidth, b.FloatMaxHeight};
        return;
    }
    info.minTrackSize = {b.DockedMinWidth, b.DockedMinHeight};
    info.maxTrackSize = {desktop_.GetSystemMetrics(SM_CXSCREEN),
                         desktop_.GetSystemMetrics(SM_CYSCREEN)};
    // A top or bottom bar may span the screen's width, a left or right one its height.
    if (!isTopOrBottom(edge)) {
        info.maxTrackSize.x = b.DockedMaxWidth;
    }
    if (!isLeftOrRight(edge)) {
        info.maxTrackSize.y = b.DockedMaxHeight;
    }
}

void TAppBar::OnExitSizeMove() {
    const int dropped = dragEdge_;
    dragEdge_ = EdgeNone;
    Rect r;
    desktop_.GetWindowRect(hwnd(), r);
    const std::int32_t width = int32Checked(std::int64_t{r.right} - r.left);
    const std::int32_t height = int32Checked(std::int64_t{r.bottom} - r.top);
    if (dropped == Edge()) {
        if (isTopOrBottom(dropped)) {
            block_.DockedHeight = height;
        } else if (isLeftOrRight(dropped)) {
            block_.DockedWidth = width;
        }
    }
    if (dropped == EdgeFloat) {
        if (block_.Edge != EdgeFloat) {
            // Pulled off an edge: keep the stored floating size if the docked one fills a side.
            std::int32_t w = width, h = height;
            Rect work;
            desktop_.GetWorkArea(work);
            if (h >= work.height() || w >= work.width()) {
                w = int32Checked(std::int64_t{block_.FloatRight} - block_.FloatLeft);
                h = int32Checked(std::int64_t{block_.FloatBottom} - block_.FloatTop);
            }
            block_.FloatLeft = r.left;
            block_.FloatTop = r.top;
            block_.FloatRight = offset(r.left, w);
            block_.FloatBottom = offset(r.top, h);
        } else {
            block_.FloatLeft = r.left;
            block_.FloatTop = r.top;
            block_.FloatRight = r.right;
            block_.FloatBottom = r.bottom;
        }
    }
    setEdge(dropped);
}

void TAppBar::OnNcHitTest(LParam point, LResult& hit) {
    if (hit < HTLEFT || hit > HTBOTTOMRIGHT) {
        return;
    }
    const int edge = Edge();
    const auto& b = block_;
    if (edge == EdgeFloat) {
        hit = floatingBorder(hit, b.HorzSizeInc != 0, b.VertSizeInc != 0);
        return;
    }
    if (edge == EdgeNone) {
        return;
    }
    if ((isLeftOrRight(edge) && b.HorzSizeInc == 0) ||
        (isTopOrBottom(edge) && b.VertSizeInc == 0)) {
        hit = HTBORDER;
        return;
    }
    // Only the side facing the middle of the screen sizes a docked bar.
    const Point cursor = unpackPoint(static_cast<std::uint32_t>(point));
    const Hwnd window = hwnd();
    Rect client;
    desktop_.GetClientRect(window, client);
    Point topLeft{client.left, client.top}, bottomRight{client.right, client.bottom};
    desktop_.ClientToScreen(window, topLeft);
    desktop_.ClientToScreen(window, bottomRight);
    LResult result = HTBORDER;
    if (edge == static_cast<int>(ABE_LEFT) && cursor.x > bottomRight.x) {
        result = HTRIGHT;
    } else if (edge == static_cast<int>(ABE_TOP) && cursor.y > bottomRight.y) {
        result = HTBOTTOM;
    } else if (edge == static_cast<int>(ABE_RIGHT) && cursor.x < topLeft.x) {
        result = HTLEFT;
    } else if (edge == static_cast<int>(ABE_BOTTOM) && cursor.y < topLeft.y) {
        result = HTTOP;
    }
    hit = result;
}

} // namespace quill::appbar
