#pragma once

#include "forms/Control.h"

#include <string>

namespace quill::forms {

class TextBox : public Control {
public:
    TextBox(Container& parent, std::string name, float left = 0, float top = 0, float width = 0,
            float height = 0, std::string text = {}, bool multiLine = false)
        : Control(parent, std::move(name), left, top, width, height), text_(std::move(text)),
          multiLine_(multiLine) {}

    const std::string& text() const { return text_; }
    void setText(std::string text) {
        // Swapped, not assigned: an emptied box gives its old buffer back.
        text_.swap(text);
        changed();
    }
    bool multiLine() const { return multiLine_; }

private:
    std::string text_;
    bool multiLine_;
};

} // namespace quill::forms
