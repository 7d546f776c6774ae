#include "forms/qt/LabelPixmaps.h"

#include "forms/Label.h"
#include "forms/qt/QtStyle.h"

#include <QPainter>

namespace quill::forms::qt {

const QPixmap& LabelPixmaps::pixmap(const Label& label, QSize size, qreal devicePixelRatio) {
    Entry& entry = entries_[&label];
    Look& look = entry.look;
    // Compared in place: this runs for every label on every frame of the strip.
    const bool same = !entry.pixmap.isNull() && look.caption == label.caption() &&
                      look.font == label.font() && look.fore == label.foreColor() &&
                      look.back == label.backColor() && look.wraps == !label.autoSize() &&
                      look.size == size && look.devicePixelRatio == devicePixelRatio;
    if (!same) {
        look = {label.caption(),   label.font(), label.foreColor(), label.backColor(),
                !label.autoSize(), size,         devicePixelRatio};
        entry.pixmap = render(look);
    }
    return entry.pixmap;
}

QPixmap LabelPixmaps::render(const Look& look) {
    if (look.size.isEmpty()) {
        return {};
    }
    QPixmap pixmap(look.size * look.devicePixelRatio);
    pixmap.setDevicePixelRatio(look.devicePixelRatio);
    pixmap.fill(toQColor(look.back));
    QPainter painter(&pixmap);
    painter.setFont(toQFont(look.font));
    painter.setPen(toQColor(look.fore));
    // A label sized by its caption holds one line; a fixed-size one wraps at words.
    const int flags =
        Qt::AlignLeft | Qt::AlignTop | (look.wraps ? Qt::TextWordWrap : Qt::TextSingleLine);
    painter.drawText(QRect(QPoint(0, 0), look.size), flags, QString::fromStdString(look.caption));
    return pixmap;
}

} // namespace quill::forms::qt
