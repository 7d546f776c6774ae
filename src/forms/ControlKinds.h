#pragma once

#include "forms/Twips.h"

#include <unordered_map>

namespace quill::forms {

class Container;
class Control;
class Form;

enum class ControlKind {
    Label,
    PictureBox,
    Frame,
    ListBox,
    TextBox,
    CommandButton,
    OptionButton,
    Other, // nothing a front end shows
};

// The kind of each control of one form and the control each container is. A failing
// dynamic_cast compares type names, which shows when the strip moves 64 times a second, so each
// answer is worked out once.
class ControlKinds {
public:
    explicit ControlKinds(const Form& form);

    ControlKind of(const Control& control) const;
    // Drawn by its container rather than by a widget of its own.
    bool windowless(const Control& control) const {
        const ControlKind kind = of(control);
        return kind == ControlKind::Label || kind == ControlKind::PictureBox;
    }
    // Shown by a native control of its own.
    bool native(const Control& control) const {
        const ControlKind kind = of(control);
        return kind != ControlKind::Label && kind != ControlKind::PictureBox &&
               kind != ControlKind::Other;
    }
    // The controls inside it; null for a control that holds none.
    const Container* asContainer(const Control& control) const;
    // The control a container is; null for the form.
    const Control* asControl(const Container& container) const;
    // Shown when it and every container around it are visible.
    bool shownWithContainers(const Control& control) const;
    // Its left and top from the form's client area: its containers' positions added.
    TwipsPoint positionInForm(const Control& control) const;

private:
    const Container* form_;
    mutable std::unordered_map<const Control*, ControlKind> kinds_;
    mutable std::unordered_map<const Container*, const Control*> containers_;
};

} // namespace quill::forms
