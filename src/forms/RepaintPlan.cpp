#include "forms/RepaintPlan.h"

#include <optional>

namespace quill::forms {

Rect span(const ShownChange& c) {
    return bounding(c.before, c.after);
}

bool changed(const ShownChange& c) {
    return c.lookChanged || c.before != c.after || c.wholeBefore != c.wholeAfter;
}

PixelArea bared(const ScrollStep& step) {
    PixelArea area(step.area);
    area.subtract(translated(step.area, step.delta));
    return area;
}

namespace {

Point offset(const Rect& from, const Rect& to) {
    return {to.left - from.left, to.top - from.top};
}

bool movedBy(const ShownChange& c, Point delta) {
    if (c.lookChanged) {
        return false;
    }
    if (isEmpty(c.before) && isEmpty(c.after)) {
        return true; // painted neither time
    }
    return !isEmpty(c.before) && c.after == translated(c.before, delta) &&
           c.wholeAfter == translated(c.wholeBefore, delta);
}

// Where the piece changes[first, end) can move its pixels, or nothing when it must be painted.
std::optional<PixelArea> scrollArea(const std::vector<ShownChange>& changes, std::size_t first,
                                    std::size_t end, const Rect& client, const PixelArea& fixed) {
    const ShownChange& piece = changes[first];
    const Point delta = offset(piece.wholeBefore, piece.wholeAfter);
    if (delta == Point{} || !intersects(piece.before, piece.after)) {
        return std::nullopt;
    }
    for (std::size_t i = first; i < end; ++i) {
        if (!movedBy(changes[i], delta)) {
            return std::nullopt;
        }
    }
    const Rect swept = intersection(bounding(piece.before, piece.after), client);
    if (fixed.intersects(swept)) {
        return std::nullopt;
    }
    PixelArea area(swept);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const ShownChange& other = changes[i];
        if ((i >= first && i < end) || !intersects(span(other), swept)) {
            continue;
        }
        // Pixels below the piece would move with it; those above that stay are left alone.
        if (i < first || changed(other)) {
            return std::nullopt;
        }
        area.subtract(other.after);
    }
    return area;
}

} // namespace

RepaintPlan planRepaint(const std::vector<ShownChange>& changes, const Rect& client,
                        const PixelArea& fixed) {
    RepaintPlan plan;
    Rect painted;
    PixelArea uncovered;
    std::size_t first = 0;
    while (first < changes.size()) {
        std::size_t end = first + 1;
        while (end < changes.size() && changes[end].piece == first) {
            ++end;
        }
        if (const auto area = scrollArea(changes, first, end, client, fixed)) {
            const Point delta = offset(changes[first].wholeBefore, changes[first].wholeAfter);
            for (const Rect& rect : *area) {
                plan.scrolls.push_back({rect, delta, first});
                uncovered.add(bared(plan.scrolls.back()));
            }
        } else {
            for (std::size_t i = first; i < end; ++i) {
                if (changed(changes[i])) {
                    painted = bounding(painted, span(changes[i]));
                }
            }
        }
        first = end;
    }
    plan.paint = uncovered;
    plan.paint.add(painted);
    plan.changed = painted;
    return plan;
}

} // namespace quill::forms
