#include "forms/qt/QtStyle.h"

#include <QFontDatabase>
#include <algorithm>

namespace quill::forms::qt {

QFont toQFont(const Font& font) {
    QFont result(font.family.empty()
                     ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                     : QString::fromStdString(font.family));
    result.setPixelSize(std::max(1, font.pixelSize));
    result.setBold(font.bold);
    result.setUnderline(font.underline);
    return result;
}

} // namespace quill::forms::qt
