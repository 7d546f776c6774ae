#pragma once

#include "platform/Desktop.h"

#include <vector>

namespace quill::forms {

using platform::Point;
using platform::Rect;

// Rectangles are left, top, right and bottom with the right and bottom edges outside; one with
// no width or height holds no pixel, wherever it lies.
bool isEmpty(const Rect& rect);
bool intersects(const Rect& a, const Rect& b);
Rect intersection(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty one adds nothing.
Rect bounding(const Rect& a, const Rect& b);
Rect translated(const Rect& rect, Point delta);

// A set of pixels, kept as rectangles that do not overlap.
class PixelArea {
public:
    PixelArea() = default;
    PixelArea(const Rect& rect) { add(rect); } // NOLINT: a rectangle is an area

    void add(const Rect& rect);
    void add(const PixelArea& other);
    void subtract(const Rect& rect);
    bool intersects(const Rect& rect) const;
    bool isEmpty() const { return rects_.empty(); }
    const std::vector<Rect>& rects() const { return rects_; }
    auto begin() const { return rects_.begin(); }
    auto end() const { return rects_.end(); }

private:
    std::vector<Rect> rects_;
};

} // namespace quill::forms
