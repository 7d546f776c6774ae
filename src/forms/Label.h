#pragma once

#include "forms/Control.h"
#include "forms/Style.h"

#include <functional>
#include <string>

namespace quill::forms {

// A windowless label: its container draws it and routes the pointer to it.
class Label : public Control {
public:
    Label(Container& parent, std::string name, float left, float top, float width, float height,
          std::string caption, bool autoSize);

    const std::string& caption() const { return caption_; }
    // Runs onChange inside the assignment, after an auto-sized label has taken its new size.
    void setCaption(const std::string& caption);

    bool autoSize() const { return autoSize_; }
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    void setUnderline(bool underline);
    Color backColor() const { return backColor_; }
    void setBackColor(Color color);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color);

    std::function<void()> onChange;
    std::function<void()> onClick;
    std::function<void()> onMouseMove;

private:
    void fitToCaption();

    std::string caption_;
    bool autoSize_;
    Font font_;
    Color backColor_ = kButtonFace;
    Color foreColor_ = kWindowText;
};

} // namespace quill::forms
