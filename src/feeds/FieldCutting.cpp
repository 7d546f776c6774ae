#include "feeds/FieldCutting.h"

#include <algorithm>

namespace quill::feeds {

namespace {

// The text as it comes back from the code page, a slice at a time: a feed near the download
// cap would otherwise be held three times over.
std::string throughCodePage(std::string_view text, const platform::CodePage& system) {
    constexpr std::size_t kSlice = 1u << 20;
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = std::min(text.size(), at + kSlice);
        // Never between the bytes of one character.
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            ++end;
        }
        result += system.toUtf8(system.fromUtf8(text.substr(at, end - at)));
        at = end;
    }
    return result;
}

} // namespace

std::vector<CutField> cutFields(std::string_view workingText, const platform::CodePage& system) {
    const std::string text = throughCodePage(workingText, system);
    std::vector<CutField> fields;
    std::size_t marker = 0;
    for (std::size_t open = text.find('|'); open != std::string::npos; marker += 2) {
        const std::size_t close = text.find('|', open + 1);
        if (close == std::string::npos) {
            break;
        }
        fields.push_back({text.substr(open + 1, close - open - 1), marker});
        open = text.find('|', close + 1);
    }
    return fields;
}

} // namespace quill::feeds
