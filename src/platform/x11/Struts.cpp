#include "platform/x11/Struts.h"

#include <algorithm>

namespace quill::platform::x11 {

namespace {

enum Index : std::size_t {
    kLeft,
    kRight,
    kTop,
    kBottom,
    kLeftStartY,
    kLeftEndY,
    kRightStartY,
    kRightEndY,
    kTopStartX,
    kTopEndX,
    kBottomStartX,
    kBottomEndX
};

std::uint32_t clampTo(int value, int limit) {
    return static_cast<std::uint32_t>(std::clamp(value, 0, limit));
}

// A range of a partial strut: first and last pixel of the strip along its edge.
void setRange(Strut& strut, std::size_t start, int from, int to, int limit) {
    strut[start] = clampTo(from, limit - 1);
    strut[start + 1] = std::max(strut[start], clampTo(to - 1, limit - 1));
}

std::int32_t end(std::uint32_t last) {
    return static_cast<std::int32_t>(last) + 1;
}

bool overlapsAlong(std::uint32_t edge, const Rect& a, const Rect& b) {
    if (edge == ABE_TOP || edge == ABE_BOTTOM) {
        return a.left < b.right && b.left < a.right;
    }
    return a.top < b.bottom && b.top < a.bottom;
}

// Moves the side once past a strip lying across it; true when it moved.
bool stepPast(std::uint32_t edge, Rect& rect, const Rect& strip) {
    switch (edge) {
    case ABE_LEFT:
        if (strip.left <= rect.left && rect.left < strip.right) {
            rect.left = strip.right;
            return true;
        }
        return false;
    case ABE_TOP:
        if (strip.top <= rect.top && rect.top < strip.bottom) {
            rect.top = strip.bottom;
            return true;
        }
        return false;
    case ABE_RIGHT:
        if (strip.left < rect.right && rect.right <= strip.right) {
            rect.right = strip.left;
            return true;
        }
        return false;
    case ABE_BOTTOM:
        if (strip.top < rect.bottom && rect.bottom <= strip.bottom) {
            rect.bottom = strip.top;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace

std::optional<Strut> strutFrom(const std::optional<std::vector<std::uint32_t>>& partial,
                               const std::optional<std::vector<std::uint32_t>>& plain,
                               ScreenSize screen) {
    Strut strut{};
    if (partial && partial->size() >= strut.size()) {
        std::copy_n(partial->begin(), strut.size(), strut.begin());
        return strut;
    }
    if (plain && plain->size() >= 4) {
        std::copy_n(plain->begin(), 4, strut.begin());
        const auto lastX = static_cast<std::uint32_t>(std::max(screen.width - 1, 0));
        const auto lastY = static_cast<std::uint32_t>(std::max(screen.height - 1, 0));
        strut[kLeftEndY] = strut[kRightEndY] = lastY;
        strut[kTopEndX] = strut[kBottomEndX] = lastX;
        return strut;
    }
    return std::nullopt;
}

Strut strutFor(std::uint32_t edge, const Rect& strip, ScreenSize screen) {
    Strut strut{};
    if (strip.right <= strip.left || strip.bottom <= strip.top) {
        return strut;
    }
    switch (edge) {
    case ABE_LEFT:
        strut[kLeft] = clampTo(strip.right, screen.width);
        setRange(strut, kLeftStartY, strip.top, strip.bottom, screen.height);
        break;
    case ABE_TOP:
        strut[kTop] = clampTo(strip.bottom, screen.height);
        setRange(strut, kTopStartX, strip.left, strip.right, screen.width);
        break;
    case ABE_RIGHT:
        strut[kRight] = clampTo(screen.width - strip.left, screen.width);
        setRange(strut, kRightStartY, strip.top, strip.bottom, screen.height);
        break;
    case ABE_BOTTOM:
        strut[kBottom] = clampTo(screen.height - strip.top, screen.height);
        setRange(strut, kBottomStartX, strip.left, strip.right, screen.width);
        break;
    default:
        break;
    }
    const bool reserves =
        strut[kLeft] != 0 || strut[kRight] != 0 || strut[kTop] != 0 || strut[kBottom] != 0;
    return reserves ? strut : Strut{};
}

std::optional<Rect> heldStrip(const Strut& strut, std::uint32_t edge, const Rect& window,
                              ScreenSize screen) {
    switch (edge) {
    case ABE_LEFT: {
        const auto inner = static_cast<std::int32_t>(strut[kLeft]);
        if (inner == 0) {
            return std::nullopt;
        }
        const int outer = window.left >= 0 && window.left < inner ? window.left : 0;
        return Rect{outer, static_cast<std::int32_t>(strut[kLeftStartY]), inner,
                    end(strut[kLeftEndY])};
    }
    case ABE_TOP: {
        const auto inner = static_cast<std::int32_t>(strut[kTop]);
        if (inner == 0) {
            return std::nullopt;
        }
        const int outer = window.top >= 0 && window.top < inner ? window.top : 0;
        return Rect{static_cast<std::int32_t>(strut[kTopStartX]), outer, end(strut[kTopEndX]),
                    inner};
    }
    case ABE_RIGHT: {
        if (strut[kRight] == 0) {
            return std::nullopt;
        }
        const int inner = screen.width - static_cast<std::int32_t>(strut[kRight]);
        const int outer =
            window.right > inner && window.right <= screen.width ? window.right : screen.width;
        return Rect{inner, static_cast<std::int32_t>(strut[kRightStartY]), outer,
                    end(strut[kRightEndY])};
    }
    case ABE_BOTTOM: {
        if (strut[kBottom] == 0) {
            return std::nullopt;
        }
        const int inner = screen.height - static_cast<std::int32_t>(strut[kBottom]);
        const int outer =
            window.bottom > inner && window.bottom <= screen.height ? window.bottom : screen.height;
        return Rect{static_cast<std::int32_t>(strut[kBottomStartX]), inner, end(strut[kBottomEndX]),
                    outer};
    }
    default:
        return std::nullopt;
    }
}

void trimPast(std::uint32_t edge, Rect& rect, const std::vector<Rect>& strips) {
    // Each step moves the side inwards past one strip, so this ends after at most one pass
    // per strip.
    for (bool moved = true; moved;) {
        moved = false;
        for (const Rect& strip : strips) {
            if (overlapsAlong(edge, strip, rect) && stepPast(edge, rect, strip)) {
                moved = true;
            }
        }
    }
}

} // namespace quill::platform::x11
