#include "forms/Label.h"

#include "forms/Application.h"
#include "forms/Form.h"

namespace quill::forms {

Label::Label(Container& parent, std::string name, float left, float top, float width, float height,
             std::string caption, bool autoSize)
    : Control(parent, std::move(name), left, top, width, height), caption_(std::move(caption)),
      autoSize_(autoSize) {
    fitToCaption();
}

void Label::fitToCaption() {
    if (!autoSize_) {
        return;
    }
    Application& app = form().app();
    const TextSize size = app.backend().measureText(font_, caption_);
    move(left(), top(), static_cast<float>(size.width) * app.twipsPerPixelX(),
         static_cast<float>(size.height) * app.twipsPerPixelY());
}

void Label::setCaption(const std::string& caption) {
    caption_ = caption;
    fitToCaption();
    changed();
    if (onChange) {
        onChange();
    }
}

void Label::setFont(const Font& font) {
    font_ = font;
    fitToCaption();
    changed();
}

void Label::setUnderline(bool underline) {
    if (font_.underline != underline) {
        font_.underline = underline;
        changed();
    }
}

void Label::setBackColor(Color color) {
    backColor_ = color;
    changed();
}

void Label::setForeColor(Color color) {
    foreColor_ = color;
    changed();
}

} // namespace quill::forms
