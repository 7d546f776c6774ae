#pragma once

#include "platform/Desktop.h"

namespace quill::platform {

// Rectangles are left, top, right and bottom with the right and bottom edges outside; one with
// no width or height holds no pixel, wherever it lies.
bool isEmpty(const Rect& rect);
bool intersects(const Rect& a, const Rect& b);
// Empty (possibly with a negative width or height) when they do not meet.
Rect intersection(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty one adds nothing.
Rect bounding(const Rect& a, const Rect& b);
Rect translated(const Rect& rect, Point delta);

} // namespace quill::platform
