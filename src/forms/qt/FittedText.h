#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace quill::forms::qt {

// Captions laid out for a narrower font than the desktop's are shrunk to fit their boxes rather
// than cut off; below this size they are shortened with an ellipsis instead.
inline constexpr int kSmallestFittedPixelSize = 8;

struct FittedText {
    QFont font;
    QString text;
};

// One line of text in `room` pixels: the font's own size if it fits, else the largest smaller
// pixel size that does, else the smallest size with the text elided.
FittedText fitLine(const QFont& font, const QString& text, int room);

// Text that wraps at words inside `box`: the largest pixel size, down to the smallest, at which
// all of its lines show.
QFont fitWrapped(const QFont& font, const QString& text, QSize box);

} // namespace quill::forms::qt
