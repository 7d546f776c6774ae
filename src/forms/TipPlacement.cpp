#include "forms/TipPlacement.h"

#include <algorithm>

namespace quill::forms {

platform::Rect tipPlacement(const platform::Rect& owner, const platform::Rect& screen, int width,
                            int height, platform::Point pointer) {
    const int left = std::max(screen.left, std::min(pointer.x, screen.right - width));
    const bool below = screen.bottom - owner.bottom >= owner.top - screen.top;
    const int wanted = below ? owner.bottom : owner.top - height;
    const int top = std::max(screen.top, std::min(wanted, screen.bottom - height));
    return {left, top, left + width, top + height};
}

} // namespace quill::forms
