#pragma once

#include "platform/CodePage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quill::feeds {

struct CutField {
    std::string text;
    // Ordinal of the "|" that opened the field, counting every "|" in the text from 0.
    std::size_t openingMarker = 0;
};

// The working text passed through the system's code page and back, so that characters it
// cannot hold become "?", then cut at "|": the text between the first and second marker is the
// first field, between the third and fourth the second, and so on. A field still open at the
// end is dropped.
std::vector<CutField> cutFields(std::string_view workingText, const platform::CodePage& system);

} // namespace quill::feeds
