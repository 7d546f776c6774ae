#include "forms/qt/ControlGeometry.h"

#include "forms/Control.h"

#include <cmath>

namespace quill::forms::qt {

namespace {

int toPixels(float twips, float twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

} // namespace

QRect ControlGeometry::rect(const Control& control) const {
    float left = control.left();
    float top = control.top();
    for (const Control* c = kinds_.asControl(control.parent()); c != nullptr;
         c = kinds_.asControl(c->parent())) {
        left += c->left();
        top += c->top();
    }
    return {toPixels(left, twipsPerPixelX_), toPixels(top, twipsPerPixelY_),
            toPixels(control.width(), twipsPerPixelX_),
            toPixels(control.height(), twipsPerPixelY_)};
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
