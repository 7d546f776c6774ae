#pragma once

#include "forms/Style.h"

namespace quill::ticker {

// A calm dark bar with light text, readable on any wallpaper beside it.
inline constexpr forms::Color kBarBackground{34, 38, 46};
inline constexpr forms::Color kHeadlineText{236, 238, 242};
inline constexpr forms::Color kNoticeText{255, 204, 102};
inline constexpr forms::Color kCloseBackground{150, 44, 44};
inline constexpr forms::Color kOptionsBackground{58, 66, 84};
inline constexpr forms::Color kBoxText{255, 255, 255};

// The headlines' font: the system's interface font at a size that fits the 13-pixel bar.
inline constexpr int kBarFontPixels = 11;

} // namespace quill::ticker
