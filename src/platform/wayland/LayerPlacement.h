#pragma once

#include "platform/Desktop.h"

#include <cstdint>
#include <optional>

namespace quill::platform::wayland {

// The layer shell's anchor bits.
inline constexpr std::uint32_t kAnchorTop = 1, kAnchorBottom = 2, kAnchorLeft = 4, kAnchorRight = 8;

// How a surface sits as a layer surface, in the output's logical pixels. A size of 0 leaves that
// dimension to the compositor, which stretches it between the two anchors. A bar goes in the
// top layer, above windows; what shows over a bar (a tip) in the overlay layer above it.
struct LayerPlacement {
    std::uint32_t anchor = 0;
    std::uint32_t width = 0, height = 0;
    std::int32_t exclusiveZone = 0;
    std::int32_t marginTop = 0, marginLeft = 0;
    bool overlay = false;
    // Takes the keyboard while shown (a menu that closes with Escape).
    bool keyboard = false;
    friend bool operator==(const LayerPlacement&, const LayerPlacement&) = default;
};

// A bar of `rect` (device pixels) docked on `edge` (ABE_*): anchored to that edge across the
// whole output, reserving its thickness. An empty rect keeps the edge and reserves nothing.
// `ratio` is the screen's device pixel ratio. Null for an edge that is none of the four.
std::optional<LayerPlacement> placementFor(std::uint32_t edge, const Rect& rect, double ratio);

// A small surface over everything at `rect` (logical pixels) of the output, whatever strips
// other surfaces reserve.
LayerPlacement overlayPlacementAt(const Rect& rect, bool keyboard);

// `area` less a strip of `rect`'s thickness on `edge`.
Rect withoutStrip(Rect area, std::uint32_t edge, const Rect& rect);

} // namespace quill::platform::wayland
