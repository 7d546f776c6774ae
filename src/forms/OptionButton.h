#pragma once

#include "forms/Control.h"

#include <string>

namespace quill::forms {

// Selecting one option button clears the others in the same container.
class OptionButton : public Control {
public:
    OptionButton(Container& parent, std::string name, float left, float top, float width,
                 float height, std::string caption, bool value)
        : Control(parent, std::move(name), left, top, width, height), caption_(std::move(caption)),
          value_(value) {}

    const std::string& caption() const { return caption_; }
    bool value() const { return value_; }
    void setValue(bool value);

private:
    std::string caption_;
    bool value_;
};

} // namespace quill::forms
