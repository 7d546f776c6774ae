#pragma once

#include <QMargins>
#include <QRect>

namespace quill::forms::qt {

// How far a top-level window's frame reaches past its inside on each side. Qt can report a frame
// smaller than the window (under kwin_x11 a dock's frame reads 1x1 at its corner), which makes
// a side negative; no frame reaches inwards, so such a side counts as none.
QMargins frameMargins(const QRect& outer, const QRect& inner);

} // namespace quill::forms::qt
