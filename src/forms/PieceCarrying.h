#pragma once

#include "forms/PixelArea.h"
#include "forms/RepaintPlan.h"

#include <set>
#include <vector>

namespace quill::forms {

class Control;

// A piece the display carries on its own: where it lies whole, the part of it seen, and whether
// its pixels are to be drawn (new to the display) or it only moved.
struct CarriedPiece {
    const Control* control = nullptr;
    Rect whole, visible;
    bool fresh = false;
};

// What showing a look's changes takes where the display carries pieces.
struct CarryPlan {
    std::vector<CarriedPiece> shown;
    std::vector<const Control*> dropped;
    // What is left for the picture beneath, which holds no carried piece's pixels.
    std::vector<ScrollStep> scrolls;
    PixelArea paint;
};

// A piece that only moved, and is seen through one rectangle that starts where the piece does,
// is carried: moving it then sends no pixels. Where nothing is shown left of the picture
// (`bareLeft`: no screen there), one cut by the picture's left edge hangs over it instead of
// being cut, since a compositor need not crop a piece from the left. One that changed otherwise
// goes back into the picture. `carried` holds the pieces carried before and is brought up to
// date.
CarryPlan planCarrying(const RepaintPlan& plan, const std::vector<ShownChange>& changes,
                       bool bareLeft, std::set<const Control*>& carried);

} // namespace quill::forms
