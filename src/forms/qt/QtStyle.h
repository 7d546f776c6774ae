#pragma once

#include "forms/Style.h"

#include <QColor>
#include <QFont>

namespace quill::forms::qt {

// The framework's font in Qt: an empty family is the desktop's user-interface font, and the
// pixel size is set explicitly so the measured height does not depend on font substitution:
// the size asked for, or the largest smaller one whose line fits its lineHeight.
QFont toQFont(const Font& font);

inline QColor toQColor(Color color) {
    return {color.r, color.g, color.b};
}

} // namespace quill::forms::qt
