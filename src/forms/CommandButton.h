#pragma once

#include "forms/Control.h"

#include <functional>
#include <string>

namespace quill::forms {

class CommandButton : public Control {
public:
    CommandButton(Container& parent, std::string name, float left = 0, float top = 0,
                  float width = 0, float height = 0, std::string caption = {})
        : Control(parent, std::move(name), left, top, width, height), caption_(std::move(caption)) {
    }

    const std::string& caption() const { return caption_; }
    // Pressing from code runs the click handler at once and to its end.
    void press() {
        if (onClick) {
            onClick();
        }
    }

    std::function<void()> onClick;

private:
    std::string caption_;
};

} // namespace quill::forms
