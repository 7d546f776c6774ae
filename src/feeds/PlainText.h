#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::feeds {

// Feed text as a person reads it: without markup, CDATA markers or character references, white
// space collapsed. Empty when nothing readable is left.
std::string plainText(std::string_view html);

// Runs of white space (a no-break space among them) as one space, none at either end.
std::string collapsedSpace(std::string_view text);

// At most `characters` characters: cut before the word the limit falls in, with an ellipsis.
std::string shortenedAtWord(std::string text, std::size_t characters);

} // namespace quill::feeds
