#pragma once

#include "forms/ControlKinds.h"
#include "forms/RepaintPlan.h"
#include "forms/Style.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quill::forms {

class Container;

// How a form's windowless controls were last shown, so that a front end repaints only what
// changed since. Where a control lies is the front end's to say, in its client area's pixels.
class ShownControls {
public:
    struct Place {
        Rect clipped; // the part its containers let it paint on
        Rect whole;
    };
    using Locate = std::function<Place(const Control&)>;

    ShownControls(const ControlKinds& kinds, Locate locate)
        : kinds_(kinds), locate_(std::move(locate)) {}

    // Every windowless control on the form in paint order, as it was and as it is now; what is
    // now becomes what was for the next call.
    std::vector<ShownChange> update(const Container& form);

private:
    struct Shown {
        Place place;
        Color back, fore;
        Font font;
        std::string caption;
    };

    void collect(const Container& container, std::optional<std::size_t> piece,
                 std::vector<ShownChange>& changes);
    // Records where the control is now; true when how it looks changed.
    bool refresh(const Control& control, Shown& shown) const;

    const ControlKinds& kinds_;
    Locate locate_;
    std::unordered_map<const Control*, Shown> shown_;
};

} // namespace quill::forms
