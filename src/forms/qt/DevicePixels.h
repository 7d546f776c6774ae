#pragma once

#include "platform/Desktop.h"

#include <QRect>
#include <QSize>
#include <QtGlobal>

namespace quill::forms::qt {

// The program measures in Qt's logical pixels (a 96-dpi pixel, scaled by the display's device
// pixel ratio), as a Windows program that is not DPI-aware sees its screen. The display server
// and what other clients read from it (struts, the work area) speak device pixels.

// The primary screen's device pixel ratio; 1 without a screen.
qreal screenRatio();
// A logical rectangle in device pixels, rounded as Qt rounds a window's native geometry: its
// position and its size each to the nearest, half away from zero.
platform::Rect toRect(const QRect& logical, qreal ratio);
QRect toLogicalRect(const platform::Rect& device, qreal ratio);
// The same pixels as left, top, right and bottom.
platform::Rect toRect(const QRect& rect);
// The primary screen in logical pixels, rounded down: Qt's own rounding to the nearest may
// reach past the last device pixel, and a bar docked on the right or bottom edge would too.
QSize logicalScreenSize();

} // namespace quill::forms::qt
