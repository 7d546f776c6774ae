#include "forms/win32/PixelGeometry.h"

#include "forms/Control.h"

#include <cmath>

namespace quill::forms::win32 {

namespace {

int toPixels(float twips, float twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

} // namespace

RECT PixelGeometry::rect(const Control& control) const {
    float left = control.left();
    float top = control.top();
    for (const Control* c = kinds_.asControl(control.parent()); c != nullptr;
         c = kinds_.asControl(c->parent())) {
        left += c->left();
        top += c->top();
    }
    const int x = toPixels(left, twipsPerPixelX_);
    const int y = toPixels(top, twipsPerPixelY_);
    return {x, y, x + toPixels(control.width(), twipsPerPixelX_),
            y + toPixels(control.height(), twipsPerPixelY_)};
}

RECT PixelGeometry::clippedRect(const Control& control) const {
    RECT clipped = rect(control);
    for (const Control* c = kinds_.asControl(control.parent()); c != nullptr;
         c = kinds_.asControl(c->parent())) {
        const RECT outer = rect(*c);
        if (!IntersectRect(&clipped, &clipped, &outer)) {
            SetRectEmpty(&clipped);
        }
    }
    return clipped;
}

} // namespace quill::forms::win32
