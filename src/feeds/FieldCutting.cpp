#include "feeds/FieldCutting.h"

namespace quill::feeds {

std::vector<std::string_view> textBetweenMarkers(std::string_view workingText) {
    std::vector<std::string_view> between;
    std::size_t open = workingText.find('|');
    while (open != std::string_view::npos) {
        const std::size_t close = workingText.find('|', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        between.push_back(workingText.substr(open + 1, close - open - 1));
        open = close;
    }
    return between;
}

} // namespace quill::feeds
