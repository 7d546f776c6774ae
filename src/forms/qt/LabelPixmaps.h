#pragma once

#include "forms/Style.h"

#include <QPixmap>
#include <string>
#include <unordered_map>

namespace quill::forms {
class Label;
}

namespace quill::forms::qt {

// Each label's text rendered once and blitted while it moves; rendered again only when what it
// shows changes. A label of fixed size shows its whole caption, in a smaller font if need be.
class LabelPixmaps {
public:
    // The label drawn at `size`, or a null pixmap when there is nothing to draw.
    const QPixmap& pixmap(const Label& label, QSize size, qreal devicePixelRatio);

private:
    struct Look {
        std::string caption;
        Font font;
        Color fore, back;
        bool fixedSize = false;
        QSize size;
        qreal devicePixelRatio = 1;
    };
    struct Entry {
        Look look;
        QPixmap pixmap;
    };
    static QPixmap render(const Look& look);

    std::unordered_map<const Label*, Entry> entries_;
};

} // namespace quill::forms::qt
