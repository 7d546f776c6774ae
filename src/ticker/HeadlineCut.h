#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::ticker {

// A title of a few screens at most: the strip draws its headline whole, so a broken feed that
// puts a page into one title would otherwise take memory and the strip for days.
inline constexpr std::size_t kLongestHeadline = 300; // characters

// The title as the strip shows it: longer ones end after kLongestHeadline characters with "…".
std::string shownHeadline(std::string_view title);

} // namespace quill::ticker
