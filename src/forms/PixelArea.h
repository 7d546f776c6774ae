#pragma once

#include "platform/Rects.h"

#include <vector>

namespace quill::forms {

using platform::bounding;
using platform::intersection;
using platform::intersects;
using platform::isEmpty;
using platform::Point;
using platform::Rect;
using platform::translated;

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
