#include "forms/qt/FittedText.h"

#include <QFontMetrics>
#include <QRect>
#include <algorithm>

namespace quill::forms::qt {

namespace {

QFont sized(QFont font, int pixelSize) {
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

FittedText fitLine(const QFont& font, const QString& text, int room) {
    const int own = font.pixelSize();
    for (int size = own; size >= std::min(own, kSmallestFittedPixelSize); --size) {
        QFont candidate = sized(font, size);
        if (QFontMetrics(candidate).horizontalAdvance(text) <= room) {
            return {std::move(candidate), text};
        }
    }
    QFont smallest = sized(font, std::min(own, kSmallestFittedPixelSize));
    QString elided = QFontMetrics(smallest).elidedText(text, Qt::ElideRight, std::max(0, room));
    return {std::move(smallest), std::move(elided)};
}

QFont fitWrapped(const QFont& font, const QString& text, QSize box) {
    const int own = font.pixelSize();
    const int smallest = std::min(own, kSmallestFittedPixelSize);
    for (int size = own; size > smallest; --size) {
        QFont candidate = sized(font, size);
        const QRect needed = QFontMetrics(candidate).boundingRect(
            QRect(0, 0, box.width(), box.height()), Qt::TextWordWrap, text);
        if (needed.width() <= box.width() && needed.height() <= box.height()) {
            return candidate;
        }
    }
    return sized(font, smallest);
}

} // namespace quill::forms::qt
