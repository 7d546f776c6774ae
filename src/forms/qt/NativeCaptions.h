#pragma once

#include <QFont>
#include <QString>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace quill::forms::qt {

// Sets the caption of a native button, option or frame, in `font` if it fits the widget's
// present size and otherwise smaller (see fitLine), leaving room for what the widget's style
// draws beside it: a button's margins, an option's indicator, a frame title's inset.
void fitCaption(QPushButton& button, const QString& caption, const QFont& font);
void fitCaption(QRadioButton& radio, const QString& caption, const QFont& font);
void fitCaption(QGroupBox& frame, const QString& caption, const QFont& font);

} // namespace quill::forms::qt
