#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quill::appbar {

// A 16-bit boolean as the block stores it: 0 false, -1 true.
using Bool16 = std::int16_t;
inline constexpr Bool16 kFalse16 = 0, kTrue16 = -1;
inline constexpr Bool16 toBool16(bool value) {
    return value ? kTrue16 : kFalse16;
}

// The bar's parameters in the order and widths they are stored in: 92 bytes in memory, of
// which the first 90 form the registry value.
struct SettingsBlock {
    std::int32_t BlockSize = 90;
    std::int32_t Edge = 5;
    std::int32_t AllowedEdges = 31;
    Bool16 AutoHide = kFalse16;
    Bool16 AlwaysOnTop = kTrue16;
    Bool16 SlideEffect = kTrue16;
    std::int16_t Reserved = 0; // alignment gap, kept as loaded
    std::int32_t SlideTime = 400;
    std::int32_t HorzSizeInc = 1;
    std::int32_t VertSizeInc = 1;
    std::int32_t DockedWidth = 32;
    std::int32_t DockedHeight = 32;
    std::int32_t FloatLeft = 0;
    std::int32_t FloatTop = 0;
    std::int32_t FloatRight = 0;
    std::int32_t FloatBottom = 0;
    std::int32_t FloatMinWidth = 0;
    std::int32_t FloatMinHeight = 0;
    std::int32_t FloatMaxWidth = 0;
    std::int32_t FloatMaxHeight = 0;
    std::int32_t DockedMinWidth = 0;
    std::int32_t DockedMinHeight = 0;
    std::int32_t DockedMaxWidth = 0;
    std::int32_t DockedMaxHeight = 0;
    std::int32_t TaskbarButton = 2;
};

static_assert(sizeof(SettingsBlock) == 92);
static_assert(offsetof(SettingsBlock, AutoHide) == 12);
static_assert(offsetof(SettingsBlock, Reserved) == 18);
static_assert(offsetof(SettingsBlock, SlideTime) == 20);
static_assert(offsetof(SettingsBlock, FloatLeft) == 40);
static_assert(offsetof(SettingsBlock, DockedMaxHeight) == 84);
static_assert(offsetof(SettingsBlock, TaskbarButton) == 88);

inline constexpr std::size_t kStoredSettingsSize = 90;

// The registry value: the block little-endian, cut after 90 bytes, so only the low half of
// TaskbarButton is kept.
std::vector<std::uint8_t> storeSettings(const SettingsBlock& block);
// The block from a stored value; nothing unless the value is exactly 90 bytes long. The upper
// half of TaskbarButton comes back 0.
std::optional<SettingsBlock> restoreSettings(const std::vector<std::uint8_t>& bytes);

} // namespace quill::appbar
