#include "forms/ControlKinds.h"

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"

namespace quill::forms {

namespace {

ControlKind kindOf(const Control& control) {
    if (dynamic_cast<const Label*>(&control) != nullptr) {
        return ControlKind::Label;
    }
    if (dynamic_cast<const PictureBox*>(&control) != nullptr) {
        return ControlKind::PictureBox;
    }
    if (dynamic_cast<const Frame*>(&control) != nullptr) {
        return ControlKind::Frame;
    }
    if (dynamic_cast<const ListBox*>(&control) != nullptr) {
        return ControlKind::ListBox;
    }
    if (dynamic_cast<const TextBox*>(&control) != nullptr) {
        return ControlKind::TextBox;
    }
    if (dynamic_cast<const CommandButton*>(&control) != nullptr) {
        return ControlKind::CommandButton;
    }
    if (dynamic_cast<const OptionButton*>(&control) != nullptr) {
        return ControlKind::OptionButton;
    }
    return ControlKind::Other;
}

} // namespace

ControlKinds::ControlKinds(const Form& form) : form_(&form) {}

ControlKind ControlKinds::of(const Control& control) const {
    if (const auto found = kinds_.find(&control); found != kinds_.end()) {
        return found->second;
    }
    return kinds_.emplace(&control, kindOf(control)).first->second;
}

const Container* ControlKinds::asContainer(const Control& control) const {
    switch (of(control)) {
    case ControlKind::PictureBox:
        return static_cast<const PictureBox*>(&control);
    case ControlKind::Frame:
        return static_cast<const Frame*>(&control);
    default:
        return nullptr;
    }
}

const Control* ControlKinds::asControl(const Container& container) const {
    if (&container == form_) {
        return nullptr;
    }
    const auto [it, added] = containers_.try_emplace(&container, nullptr);
    if (added) {
        it->second = dynamic_cast<const Control*>(&container);
    }
    return it->second;
}

bool ControlKinds::shownWithContainers(const Control& control) const {
    for (const Control* c = &control; c != nullptr; c = asControl(c->parent())) {
        if (!c->visible()) {
            return false;
        }
    }
    return true;
}

TwipsPoint ControlKinds::positionInForm(const Control& control) const {
    TwipsPoint at{control.left(), control.top()};
    for (const Control* c = asControl(control.parent()); c != nullptr; c = asControl(c->parent())) {
        at.left += c->left();
        at.top += c->top();
    }
    return at;
}

} // namespace quill::forms
