#include "platform/Rects.h"

#include <algorithm>

namespace quill::platform {

bool isEmpty(const Rect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

bool intersects(const Rect& a, const Rect& b) {
    return !isEmpty(intersection(a, b));
}

Rect intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Rect bounding(const Rect& a, const Rect& b) {
    if (isEmpty(a)) {
        return b;
    }
    if (isEmpty(b)) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

Rect translated(const Rect& rect, Point delta) {
    return {rect.left + delta.x, rect.top + delta.y, rect.right + delta.x, rect.bottom + delta.y};
}

} // namespace quill::platform
