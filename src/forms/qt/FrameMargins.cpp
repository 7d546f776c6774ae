#include "forms/qt/FrameMargins.h"

#include <algorithm>

namespace quill::forms::qt {

QMargins frameMargins(const QRect& outer, const QRect& inner) {
    return QMargins(
        std::max(0, inner.left() - outer.left()), std::max(0, inner.top() - outer.top()),
        std::max(0, outer.right() - inner.right()), std::max(0, outer.bottom() - inner.bottom()));
}

} // namespace quill::forms::qt
