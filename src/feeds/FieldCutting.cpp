#include "feeds/FieldCutting.h"

namespace quill::feeds {

std::vector<CutField> cutFields(std::string_view workingText, const platform::CodePage& system) {
    const std::string text = system.toUtf8(system.fromUtf8(workingText));
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
