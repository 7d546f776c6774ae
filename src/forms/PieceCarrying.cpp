#include "forms/PieceCarrying.h"

#include <map>
#include <optional>

namespace quill::forms {

namespace {

long long areaOf(const Rect& rect) {
    return static_cast<long long>(rect.width()) * rect.height();
}

// The one rectangle `area` is, or nothing.
std::optional<Rect> asOneRect(const std::vector<Rect>& rects) {
    Rect whole;
    long long sum = 0;
    for (const Rect& rect : rects) {
        whole = bounding(whole, rect);
        sum += areaOf(rect);
    }
    if (isEmpty(whole) || sum != areaOf(whole)) {
        return std::nullopt;
    }
    return whole;
}

} // namespace

CarryPlan planCarrying(const RepaintPlan& plan, const std::vector<ShownChange>& changes,
                       bool bareLeft, std::set<const Control*>& carried) {
    CarryPlan out;
    out.paint.add(plan.changed);
    std::map<std::size_t, std::vector<Rect>> seen; // by piece that moved: where it is seen now
    for (const ScrollStep& step : plan.scrolls) {
        std::vector<Rect>& parts = seen[step.piece];
        const Rect part = intersection(step.area, changes[step.piece].after);
        if (!isEmpty(part)) {
            parts.push_back(part);
        }
    }
    for (const auto& [piece, parts] : seen) {
        const ShownChange& head = changes[piece];
        const bool was = carried.contains(head.control);
        std::optional<Rect> visible = asOneRect(parts);
        if (visible && bareLeft && visible->left == 0 && head.wholeAfter.left < 0) {
            visible->left = head.wholeAfter.left;
        }
        if (visible &&
            (visible->left != head.wholeAfter.left || visible->top != head.wholeAfter.top)) {
            visible.reset();
        }
        if (visible) {
            out.shown.push_back({head.control, head.wholeAfter, *visible, !was});
            if (!was) {
                carried.insert(head.control);
                out.paint.add(head.before); // its pixels leave the picture beneath
            }
        } else if (was) {
            carried.erase(head.control);
            out.dropped.push_back(head.control);
            out.paint.add(span(head));
        } else {
            for (const ScrollStep& step : plan.scrolls) {
                if (step.piece == piece) {
                    out.scrolls.push_back(step);
                    out.paint.add(bared(step));
                }
            }
        }
    }
    // A carried piece that changed otherwise is painted in the picture again: its span is in
    // what changed. One no longer on the form goes.
    std::set<const Control*> gone = carried;
    for (std::size_t first = 0; first < changes.size(); ++first) {
        const ShownChange& head = changes[first];
        if (head.piece != first) {
            continue;
        }
        gone.erase(head.control);
        if (seen.contains(first) || !carried.contains(head.control)) {
            continue;
        }
        bool anyChanged = false;
        for (std::size_t i = first; i < changes.size() && changes[i].piece == first; ++i) {
            anyChanged = anyChanged || changed(changes[i]);
        }
        if (anyChanged) {
            carried.erase(head.control);
            out.dropped.push_back(head.control);
        }
    }
    for (const Control* control : gone) {
        carried.erase(control);
        out.dropped.push_back(control);
    }
    return out;
}

} // namespace quill::forms
