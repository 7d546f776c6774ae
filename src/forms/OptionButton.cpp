#include "forms/OptionButton.h"

namespace quill::forms {

void OptionButton::setValue(bool value) {
    if (value) {
        for (Control* sibling : parent().children()) {
            if (auto* option = dynamic_cast<OptionButton*>(sibling); option && option != this) {
                if (option->value_) {
                    option->value_ = false;
                    option->changed();
                }
            }
        }
    }
    value_ = value;
    changed();
}

} // namespace quill::forms
