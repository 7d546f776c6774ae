#pragma once

#include <string_view>
#include <vector>

namespace quill::feeds {

// The text after each "|" up to the next one: entry k follows the k-th "|" of the text. The
// last "|" opens nothing, so there is one entry fewer than there are markers.
std::vector<std::string_view> textBetweenMarkers(std::string_view workingText);

} // namespace quill::feeds
