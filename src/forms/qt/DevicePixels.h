#pragma once

#include "platform/Desktop.h"

#include <QRect>
#include <QtGlobal>

namespace quill::forms::qt {

// Qt places windows in logical pixels; the Win32-shaped calls speak device pixels.
int toDevice(qreal logical, qreal ratio);
int toLogical(int device, qreal ratio);
// The primary screen's device pixel ratio; 1 without a screen.
qreal screenRatio();
platform::Rect toRect(const QRect& logical, qreal ratio);
QRect toLogicalRect(const platform::Rect& device, qreal ratio);

} // namespace quill::forms::qt
