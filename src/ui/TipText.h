#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::ui {

// Longest tip, in characters, before the ellipsis.
inline constexpr std::size_t kTipCharacters = 300;

// An item's description as a tip shows it: plain text without markup, CDATA markers or
// character references, white space collapsed, cut at a word with an ellipsis when too long.
// Empty when nothing readable is left, and then no tip shows.
std::string tipText(std::string_view description);

} // namespace quill::ui
