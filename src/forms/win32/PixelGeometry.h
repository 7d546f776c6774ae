#pragma once

#include "forms/ControlKinds.h"
#include "forms/win32/Windows.h"

namespace quill::forms::win32 {

// Where a control lies in its form's client area, in pixels.
class PixelGeometry {
public:
    PixelGeometry(const ControlKinds& kinds, float twipsPerPixelX, float twipsPerPixelY)
        : kinds_(kinds), twipsPerPixelX_(twipsPerPixelX), twipsPerPixelY_(twipsPerPixelY) {}

    // Position and size are rounded separately, so a moving control keeps its pixel size.
    RECT rect(const Control& control) const;
    // The part of that rectangle its containers let it paint on.
    RECT clippedRect(const Control& control) const;

    float toTwipsX(int pixels) const { return static_cast<float>(pixels) * twipsPerPixelX_; }
    float toTwipsY(int pixels) const { return static_cast<float>(pixels) * twipsPerPixelY_; }

private:
    const ControlKinds& kinds_;
    float twipsPerPixelX_, twipsPerPixelY_;
};

} // namespace quill::forms::win32
