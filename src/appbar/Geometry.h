#pragma once

#include "platform/Desktop.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace quill::appbar {

// The bar's geometry is 32-bit arithmetic; a result outside that range is an error raised to
// the caller, never a wrapped value. Callers compute in 64 bits and narrow here.
inline std::int32_t int32Checked(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw std::overflow_error("app bar geometry overflows 32 bits");
    }
    return static_cast<std::int32_t>(value);
}

// All four sides inclusive.
inline bool PointInRect(const platform::Rect& rect, platform::Point point) {
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top &&
           point.y <= rect.bottom;
}

// A screen point packed into a message: x in the low half, y in the high half. The halves are
// read as signed, so monitors left of or above the primary one give negative coordinates.
inline platform::Point unpackPoint(std::uint32_t packed) {
    return {static_cast<std::int16_t>(packed & 0xFFFFu), static_cast<std::int16_t>(packed >> 16)};
}

} // namespace quill::appbar
