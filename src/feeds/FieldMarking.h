#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::feeds {

// Markers by ordinal, counting every "|" in the text from 0: first <= ordinal < end.
struct MarkerSpan {
    std::size_t first = 0;
    std::size_t end = 0;
    bool contains(std::size_t ordinal) const { return ordinal >= first && ordinal < end; }
};

struct MarkedText {
    std::string text;
    // The markers inside the channel's image element when one stands before the first item.
    MarkerSpan channelImage;
};

// The feed with each "<link>", "</link>", "<title>", "</title>", "<description>" and
// "</description>" replaced by "|"; other spellings of these tags stay as they are.
MarkedText markFields(std::string_view feed);

} // namespace quill::feeds
