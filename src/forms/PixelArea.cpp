#include "forms/PixelArea.h"

#include <algorithm>

namespace quill::forms {

namespace {

// What of `from` lies outside `cut`, in at most four rectangles: the bands above and below, then
// the pieces left and right of it between them.
void appendOutside(const Rect& from, const Rect& cut, std::vector<Rect>& out) {
    if (!intersects(from, cut)) {
        out.push_back(from);
        return;
    }
    const Rect middle = intersection(from, cut);
    const Rect pieces[] = {
        {from.left, from.top, from.right, middle.top},
        {from.left, middle.bottom, from.right, from.bottom},
        {from.left, middle.top, middle.left, middle.bottom},
        {middle.right, middle.top, from.right, middle.bottom},
    };
    for (const Rect& piece : pieces) {
        if (!isEmpty(piece)) {
            out.push_back(piece);
        }
    }
}

} // namespace

void PixelArea::add(const Rect& rect) {
    if (forms::isEmpty(rect)) {
        return;
    }
    std::vector<Rect> fresh{rect};
    for (const Rect& held : rects_) {
        std::vector<Rect> outside;
        for (const Rect& piece : fresh) {
            appendOutside(piece, held, outside);
        }
        fresh = std::move(outside);
    }
    rects_.insert(rects_.end(), fresh.begin(), fresh.end());
}

void PixelArea::add(const PixelArea& other) {
    for (const Rect& rect : other) {
        add(rect);
    }
}

void PixelArea::subtract(const Rect& rect) {
    std::vector<Rect> kept;
    for (const Rect& held : rects_) {
        appendOutside(held, rect, kept);
    }
    rects_ = std::move(kept);
}

bool PixelArea::intersects(const Rect& rect) const {
    return std::any_of(rects_.begin(), rects_.end(),
                       [&](const Rect& held) { return forms::intersects(held, rect); });
}

} // namespace quill::forms
