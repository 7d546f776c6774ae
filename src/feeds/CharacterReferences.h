#pragma once

#include <string>
#include <string_view>

namespace quill::feeds {

// The text with the character references the feed's replacement table leaves decoded: decimal
// and hexadecimal ones and the common named entities. Anything else that looks like a reference
// stays as written, since it may be plain text.
std::string decodeCharacterReferences(std::string_view text);

} // namespace quill::feeds
