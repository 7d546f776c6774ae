#pragma once

#include "forms/ControlKinds.h"

#include <QPointF>
#include <QRect>

namespace quill::forms {
class Control;
}

namespace quill::forms::qt {

// Where a control lies in its form's client area, in pixels.
class ControlGeometry {
public:
    ControlGeometry(const ControlKinds& kinds, float twipsPerPixelX, float twipsPerPixelY)
        : kinds_(kinds), twipsPerPixelX_(twipsPerPixelX), twipsPerPixelY_(twipsPerPixelY) {}

    // The control's own rectangle; position and size are rounded separately, so a moving control
    // keeps its pixel size.
    QRect rect(const Control& control) const;
    // The part of that rectangle its containers let it paint on.
    QRect clippedRect(const Control& control) const;

    QPointF toTwips(QPointF pixels) const {
        return {pixels.x() * twipsPerPixelX_, pixels.y() * twipsPerPixelY_};
    }

private:
    const ControlKinds& kinds_;
    float twipsPerPixelX_, twipsPerPixelY_;
};

} // namespace quill::forms::qt
