#include "forms/win32/PixelGeometry.h"

#include "forms/Control.h"

namespace quill::forms::win32 {

RECT PixelGeometry::rect(const Control& control) const {
    const TwipsPoint at = kinds_.positionInForm(control);
    const int x = twipsToPixels(at.left, twipsPerPixelX_);
    const int y = twipsToPixels(at.top, twipsPerPixelY_);
    return {x, y, x + twipsToPixels(control.width(), twipsPerPixelX_),
            y + twipsToPixels(control.height(), twipsPerPixelY_)};
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
