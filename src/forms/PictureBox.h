#pragma once

#include "forms/Control.h"
#include "forms/Style.h"

namespace quill::forms {

// A plain box that holds other controls and paints its background.
class PictureBox : public Control, public Container {
public:
    PictureBox(Container& parent, std::string name, float left, float top, float width,
               float height)
        : Control(parent, std::move(name), left, top, width, height) {}

    Form& form() override { return Control::form(); }
    Color backColor() const { return backColor_; }
    void setBackColor(Color color) {
        backColor_ = color;
        changed();
    }

private:
    Color backColor_ = kButtonFace;
};

} // namespace quill::forms
