#pragma once

#include "platform/Desktop.h"

namespace quill::appbar {

// Hit-test results of WM_NCHITTEST that the bar rewrites.
inline constexpr platform::LResult HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13,
                                   HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
                                   HTBOTTOMRIGHT = 17, HTBORDER = 18;

// The side dragged in WM_SIZING.
inline constexpr platform::WParam WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4,
                                  WMSZ_TOPRIGHT = 5, WMSZ_BOTTOM = 6, WMSZ_BOTTOMLEFT = 7,
                                  WMSZ_BOTTOMRIGHT = 8;

} // namespace quill::appbar
