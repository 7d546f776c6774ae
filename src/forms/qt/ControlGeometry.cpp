#include "forms/qt/ControlGeometry.h"

#include "forms/Control.h"

namespace quill::forms::qt {

QRect ControlGeometry::rect(const Control& control) const {
    const TwipsPoint at = kinds_.positionInForm(control);
    return {twipsToPixels(at.left, twipsPerPixelX_), twipsToPixels(at.top, twipsPerPixelY_),
            twipsToPixels(control.width(), twipsPerPixelX_),
            twipsToPixels(control.height(), twipsPerPixelY_)};
}

QRect ControlGeometry::clippedRect(const Control& control) const {
    QRect clipped = rect(control);
    for (const Control* c = kinds_.asControl(control.parent()); c != nullptr;
         c = kinds_.asControl(c->parent())) {
        clipped &= rect(*c);
    }
    return clipped;
}

} // namespace quill::forms::qt
