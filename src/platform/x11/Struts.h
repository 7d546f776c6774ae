#pragma once

#include "platform/Desktop.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quill::platform::x11 {

// The twelve values of _NET_WM_STRUT_PARTIAL: left, right, top, bottom widths, then the
// start and end of each (left_start_y, left_end_y, right_start_y, right_end_y, top_start_x,
// top_end_x, bottom_start_x, bottom_end_x).
using Strut = std::array<std::uint32_t, 12>;

struct ScreenSize {
    int width = 0, height = 0;
};

// A window's strut from its properties; a plain _NET_WM_STRUT spans its whole edge.
std::optional<Strut> strutFrom(const std::optional<std::vector<std::uint32_t>>& partial,
                               const std::optional<std::vector<std::uint32_t>>& plain,
                               ScreenSize screen);

// The strut that reserves `strip` on `edge`; all zero for an empty strip or no edge.
Strut strutFor(std::uint32_t edge, const Rect& strip, ScreenSize screen);

// The part of the screen a window with this strut holds on `edge`. A strut counts from the
// screen edge, so it also covers bars stacked nearer the edge; the window's own rectangle
// says where its strip starts.
std::optional<Rect> heldStrip(const Strut& strut, std::uint32_t edge, const Rect& window,
                              ScreenSize screen);

// Moves the side of `rect` on `edge` inwards past every strip that covers it.
void trimPast(std::uint32_t edge, Rect& rect, const std::vector<Rect>& strips);

} // namespace quill::platform::x11
