#pragma once

#include "platform/Desktop.h"

namespace quill::forms {

// Where a tip of this size goes: from the pointer's column, on the side of the owner's window
// with more room (below a bar at the top of the screen, above one at the bottom), and wholly
// on the screen where it fits.
platform::Rect tipPlacement(const platform::Rect& owner, const platform::Rect& screen, int width,
                            int height, platform::Point pointer);

} // namespace quill::forms
