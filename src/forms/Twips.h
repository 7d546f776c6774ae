#pragma once

#include <cmath>

namespace quill::forms {

// Twips to whole pixels, rounded to the nearest, as every front end places its controls.
inline int twipsToPixels(float twips, float twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

struct TwipsPoint {
    float left = 0, top = 0;
};

} // namespace quill::forms
