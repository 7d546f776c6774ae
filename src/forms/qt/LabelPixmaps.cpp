#include "forms/qt/LabelPixmaps.h"

#include "forms/Label.h"
#include "forms/qt/FittedText.h"
#include "forms/qt/QtStyle.h"

#include <QFontMetrics>
#include <QPainter>

namespace quill::forms::qt {

namespace {

struct Layout {
    QFont font;
    QString text;
    int flags;
};

Layout layOut(const QFont& font, const QString& caption, QSize size, bool fixedSize) {
    // A label sized by its caption holds it as it is.
    if (!fixedSize) {
        return {font, caption, Qt::TextSingleLine};
    }
    // A box of one line never wraps: the second line would not show.
    if (size.height() >= 2 * QFontMetrics(font).lineSpacing()) {
        return {fitWrapped(font, caption, size), caption, Qt::TextWordWrap};
    }
    FittedText fitted = fitLine(font, caption, size.width());
    return {std::move(fitted.font), std::move(fitted.text), Qt::TextSingleLine};
}

} // namespace

const QPixmap& LabelPixmaps::pixmap(const Label& label, QSize size, qreal devicePixelRatio) {
    Entry& entry = entries_[&label];
    Look& look = entry.look;
    // Compared in place: this runs for every label on every frame of the strip.
    const bool same = !entry.pixmap.isNull() && look.caption == label.caption() &&
                      look.font == label.font() && look.fore == label.foreColor() &&
                      look.back == label.backColor() && look.fixedSize == !label.autoSize() &&
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
    painter.setPen(toQColor(look.fore));
    const Layout layout =
        layOut(toQFont(look.font), QString::fromStdString(look.caption), look.size, look.fixedSize);
    painter.setFont(layout.font);
    painter.drawText(QRect(QPoint(0, 0), look.size), Qt::AlignLeft | Qt::AlignTop | layout.flags,
                     layout.text);
    return pixmap;
}

} // namespace quill::forms::qt
