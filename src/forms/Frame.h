#pragma once

#include "forms/Control.h"

#include <string>

namespace quill::forms {

// A captioned group box; option buttons inside one frame form one group.
class Frame : public Control, public Container {
public:
    Frame(Container& parent, std::string name, float left, float top, float width, float height,
          std::string caption)
        : Control(parent, std::move(name), left, top, width, height), caption_(std::move(caption)) {
    }

    Form& form() override { return Control::form(); }
    const std::string& caption() const { return caption_; }

private:
    std::string caption_;
};

} // namespace quill::forms
