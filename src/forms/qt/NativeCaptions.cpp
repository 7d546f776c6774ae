#include "forms/qt/NativeCaptions.h"

#include "forms/qt/FittedText.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

namespace quill::forms::qt {

void fitCaption(QPushButton& button, const QString& caption, const QFont& font) {
    QStyleOptionButton option;
    option.initFrom(&button);
    if (button.autoDefault()) {
        option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    // Without text: some styles ask a minimum width of any button with text, which is no margin.
    const int margins = button.style()
                            ->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), &button)
                            .width();
    const FittedText fitted = fitLine(font, caption, button.width() - margins);
    button.setFont(fitted.font);
    button.setText(fitted.text);
}

void fitCaption(QRadioButton& radio, const QString& caption, const QFont& font) {
    QStyleOptionButton option;
    option.initFrom(&radio);
    option.text = caption; // the indicator's spacing counts only beside a text
    const int indicator =
        radio.style()
            ->sizeFromContents(QStyle::CT_RadioButton, &option, QSize(0, 0), &radio)
            .width();
    const FittedText fitted = fitLine(font, caption, radio.width() - indicator);
    radio.setFont(fitted.font);
    radio.setText(fitted.text);
}

void fitCaption(QGroupBox& frame, const QString& caption, const QFont& font) {
    QStyleOptionGroupBox option;
    option.initFrom(&frame);
    option.fontMetrics = QFontMetrics(font);
    option.text = caption;
    option.textAlignment = frame.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title = frame.style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                      QStyle::SC_GroupBoxLabel, &frame);
    // The title keeps the same distance from both ends of the frame, plus what the style adds to
    // the text itself.
    const int inset = title.left() - option.rect.left();
    const int padding = title.width() - option.fontMetrics.horizontalAdvance(caption);
    const FittedText fitted = fitLine(font, caption, frame.width() - 2 * inset - padding);
    frame.setFont(fitted.font);
    frame.setTitle(fitted.text);
}

} // namespace quill::forms::qt
