#include "appbar/SettingsBlock.h"

#include <type_traits>

namespace quill::appbar {

namespace {

// Every field up to TaskbarButton, whose stored part is only 16 bits wide.
template <class Block, class Visit> void forEachWholeField(Block& b, Visit&& visit) {
    visit(b.BlockSize);
    visit(b.Edge);
    visit(b.AllowedEdges);
    visit(b.AutoHide);
    visit(b.AlwaysOnTop);
    visit(b.SlideEffect);
    visit(b.Reserved);
    visit(b.SlideTime);
    visit(b.HorzSizeInc);
    visit(b.VertSizeInc);
    visit(b.DockedWidth);
    visit(b.DockedHeight);
    visit(b.FloatLeft);
    visit(b.FloatTop);
    visit(b.FloatRight);
    visit(b.FloatBottom);
    visit(b.FloatMinWidth);
    visit(b.FloatMinHeight);
    visit(b.FloatMaxWidth);
    visit(b.FloatMaxHeight);
    visit(b.DockedMinWidth);
    visit(b.DockedMinHeight);
    visit(b.DockedMaxWidth);
    visit(b.DockedMaxHeight);
}

template <class Int> void put(std::vector<std::uint8_t>& out, Int value) {
    using Unsigned = std::make_unsigned_t<Int>;
    const auto bits = static_cast<Unsigned>(value);
    for (std::size_t i = 0; i < sizeof(Int); ++i) {
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

template <class Int> Int take(const std::uint8_t*& in) {
    using Unsigned = std::make_unsigned_t<Int>;
    Unsigned bits = 0;
    for (std::size_t i = 0; i < sizeof(Int); ++i) {
        bits = static_cast<Unsigned>(bits | static_cast<Unsigned>(Unsigned{*in++} << (8 * i)));
    }
    return static_cast<Int>(bits);
}

} // namespace

std::vector<std::uint8_t> storeSettings(const SettingsBlock& block) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kStoredSettingsSize);
    forEachWholeField(block, [&](auto field) { put(bytes, field); });
    put(bytes, static_cast<std::uint16_t>(block.TaskbarButton));
    return bytes;
}

std::optional<SettingsBlock> restoreSettings(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != kStoredSettingsSize) {
        return std::nullopt;
    }
    SettingsBlock block;
    const std::uint8_t* in = bytes.data();
    forEachWholeField(
        block, [&](auto& field) { field = take<std::remove_reference_t<decltype(field)>>(in); });
    block.TaskbarButton = take<std::uint16_t>(in);
    return block;
}

} // namespace quill::appbar
