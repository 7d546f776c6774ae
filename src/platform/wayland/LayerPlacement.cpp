#include "platform/wayland/LayerPlacement.h"

#include <algorithm>
#include <cmath>

namespace quill::platform::wayland {

namespace {

std::uint32_t toLogical(std::int32_t device, double ratio) {
    return static_cast<std::uint32_t>(std::lround(std::max(0, device) / ratio));
}

} // namespace

std::optional<LayerPlacement> placementFor(std::uint32_t edge, const Rect& rect, double ratio) {
    const bool across = edge == ABE_TOP || edge == ABE_BOTTOM;
    if (!across && edge != ABE_LEFT && edge != ABE_RIGHT) {
        return std::nullopt;
    }
    const bool empty = rect.width() <= 0 || rect.height() <= 0;
    // A 0 size along the edge is the compositor's to fill; across it the surface needs one.
    const std::uint32_t thickness =
        std::max<std::uint32_t>(1, toLogical(across ? rect.height() : rect.width(), ratio));
    LayerPlacement placement;
    switch (edge) {
    case ABE_TOP:
        placement.anchor = kAnchorTop | kAnchorLeft | kAnchorRight;
        break;
    case ABE_BOTTOM:
        placement.anchor = kAnchorBottom | kAnchorLeft | kAnchorRight;
        break;
    case ABE_LEFT:
        placement.anchor = kAnchorLeft | kAnchorTop | kAnchorBottom;
        break;
    default:
        placement.anchor = kAnchorRight | kAnchorTop | kAnchorBottom;
        break;
    }
    (across ? placement.height : placement.width) = thickness;
    placement.exclusiveZone = empty ? 0 : static_cast<std::int32_t>(thickness);
    return placement;
}

LayerPlacement overlayPlacementAt(const Rect& rect, bool keyboard) {
    LayerPlacement placement;
    placement.anchor = kAnchorTop | kAnchorLeft;
    placement.width = static_cast<std::uint32_t>(std::max(1, rect.width()));
    placement.height = static_cast<std::uint32_t>(std::max(1, rect.height()));
    // Placed from the output's corner, not from the edge of the space other panels leave.
    placement.exclusiveZone = -1;
    placement.marginTop = rect.top;
    placement.marginLeft = rect.left;
    placement.overlay = true;
    placement.keyboard = keyboard;
    return placement;
}

Rect withoutStrip(Rect area, std::uint32_t edge, const Rect& rect) {
    switch (edge) {
    case ABE_TOP:
        area.top += std::max(0, rect.height());
        break;
    case ABE_BOTTOM:
        area.bottom -= std::max(0, rect.height());
        break;
    case ABE_LEFT:
        area.left += std::max(0, rect.width());
        break;
    case ABE_RIGHT:
        area.right -= std::max(0, rect.width());
        break;
    default:
        break;
    }
    return area;
}

} // namespace quill::platform::wayland
