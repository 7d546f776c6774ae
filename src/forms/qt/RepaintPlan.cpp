#include "forms/qt/RepaintPlan.h"

#include <optional>

namespace quill::forms::qt {

namespace {

// Where a control was and is; an empty rectangle adds nothing, wherever it lies.
QRect span(const ShownChange& c) {
    if (c.before.isEmpty()) {
        return c.after;
    }
    return c.after.isEmpty() ? c.before : c.before | c.after;
}

bool changed(const ShownChange& c) {
    return c.lookChanged || c.before != c.after || c.wholeBefore != c.wholeAfter;
}

bool movedBy(const ShownChange& c, QPoint delta) {
    if (c.lookChanged) {
        return false;
    }
    if (c.before.isEmpty() && c.after.isEmpty()) {
        return true; // painted neither time
    }
    return !c.before.isEmpty() && c.after == c.before.translated(delta) &&
           c.wholeAfter == c.wholeBefore.translated(delta);
}

// Where the piece changes[first, end) can move its pixels, or nothing when it must be painted.
std::optional<QRegion> scrollArea(const std::vector<ShownChange>& changes, std::size_t first,
                                  std::size_t end, const QRect& client, const QRegion& fixed) {
    const ShownChange& piece = changes[first];
    const QPoint delta = piece.wholeAfter.topLeft() - piece.wholeBefore.topLeft();
    if (delta.isNull() || !piece.before.intersects(piece.after)) {
        return std::nullopt;
    }
    for (std::size_t i = first; i < end; ++i) {
        if (!movedBy(changes[i], delta)) {
            return std::nullopt;
        }
    }
    const QRect swept = (piece.before | piece.after) & client;
    if (fixed.intersects(swept)) {
        return std::nullopt;
    }
    QRegion area(swept);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const ShownChange& other = changes[i];
        if ((i >= first && i < end) || !span(other).intersects(swept)) {
            continue;
        }
        // Pixels below the piece would move with it; those above that stay are left alone.
        if (i < first || changed(other)) {
            return std::nullopt;
        }
        area -= other.after;
    }
    return area;
}

} // namespace

RepaintPlan planRepaint(const std::vector<ShownChange>& changes, const QRect& client,
                        const QRegion& fixed) {
    RepaintPlan plan;
    QRect painted;
    QRegion uncovered;
    std::size_t first = 0;
    while (first < changes.size()) {
        std::size_t end = first + 1;
        while (end < changes.size() && changes[end].piece == first) {
            ++end;
        }
        if (const auto area = scrollArea(changes, first, end, client, fixed)) {
            const QPoint delta =
                changes[first].wholeAfter.topLeft() - changes[first].wholeBefore.topLeft();
            for (const QRect& rect : *area) {
                plan.scrolls.push_back({rect, delta});
                uncovered += QRegion(rect) - rect.translated(delta);
            }
        } else {
            for (std::size_t i = first; i < end; ++i) {
                if (changed(changes[i]) && !span(changes[i]).isEmpty()) {
                    painted |= span(changes[i]);
                }
            }
        }
        first = end;
    }
    plan.paint = uncovered + painted;
    return plan;
}

} // namespace quill::forms::qt
