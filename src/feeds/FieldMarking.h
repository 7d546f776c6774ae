#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::feeds {

enum class FieldElement : std::uint8_t { None, Title, Link, Description };

// Whose a marker is: the channel's, no one's (inside the channel's image), or an item's index.
inline constexpr int kChannel = -1;
inline constexpr int kChannelImage = -2;

// What one "|" of the marked text stands for.
struct Marker {
    FieldElement element = FieldElement::None; // None: a "|" the feed wrote itself
    bool opens = false;
    int owner = kChannel;
};

struct MarkedText {
    std::string text;
    // One for every "|" in text, in order.
    std::vector<Marker> markers;
    // How many <item> elements the feed has.
    int items = 0;
};

// The feed with each "<link>", "</link>", "<title>", "</title>", "<description>" and
// "</description>" replaced by "|"; other spellings of these tags stay as they are.
MarkedText markFields(std::string_view feed);

} // namespace quill::feeds
