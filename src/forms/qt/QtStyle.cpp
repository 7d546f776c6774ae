#include "forms/qt/QtStyle.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>

namespace quill::forms::qt {

QFont toQFont(const Font& font) {
    QFont result(font.family.empty()
                     ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                     : QString::fromStdString(font.family));
    result.setBold(font.bold);
    result.setUnderline(font.underline);
    const int asked = std::max(1, font.pixelSize);
    int size = asked;
    for (; size > 1; --size) {
        result.setPixelSize(size);
        if (QFontMetrics(result).height() <= lineHeight(asked)) {
            break;
        }
    }
    result.setPixelSize(size);
    return result;
}

} // namespace quill::forms::qt
