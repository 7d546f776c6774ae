#include "forms/ShownControls.h"

#include "forms/Label.h"
#include "forms/PictureBox.h"

namespace quill::forms {

std::vector<ShownChange> ShownControls::update(const Container& form) {
    std::vector<ShownChange> changes;
    collect(form, std::nullopt, changes);
    return changes;
}

void ShownControls::collect(const Container& container, std::optional<std::size_t> piece,
                            std::vector<ShownChange>& changes) {
    for (const Control* child : container.children()) {
        const Container* inner = kinds_.asContainer(*child);
        if (!kinds_.windowless(*child)) {
            if (inner != nullptr) {
                collect(*inner, piece, changes);
            }
            continue;
        }
        Shown& shown = shown_[child];
        ShownChange change{shown.place.clipped,
                           {},
                           shown.place.whole,
                           {},
                           false,
                           piece.value_or(changes.size()),
                           child};
        change.lookChanged = refresh(*child, shown);
        change.after = shown.place.clipped;
        change.wholeAfter = shown.place.whole;
        changes.push_back(change);
        if (inner != nullptr) {
            collect(*inner, change.piece, changes);
        }
    }
}

bool ShownControls::refresh(const Control& control, Shown& shown) const {
    shown.place = kinds_.shownWithContainers(control) ? locate_(control) : Place{};
    if (kinds_.of(control) == ControlKind::PictureBox) {
        const Color back = static_cast<const PictureBox&>(control).backColor();
        const bool changed = back != shown.back;
        shown.back = back;
        return changed;
    }
    const auto& label = static_cast<const Label&>(control);
    if (label.backColor() == shown.back && label.foreColor() == shown.fore &&
        label.font() == shown.font && label.caption() == shown.caption) {
        return false;
    }
    shown.back = label.backColor();
    shown.fore = label.foreColor();
    shown.font = label.font();
    shown.caption = label.caption();
    return true;
}

} // namespace quill::forms
