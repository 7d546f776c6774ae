#include "ticker/HeadlineCut.h"

#include "platform/Utf8.h"

namespace quill::ticker {

std::string shownHeadline(std::string_view title) {
    std::size_t end = 0;
    for (std::size_t count = 0; end < title.size(); ++count) {
        if (count == kLongestHeadline) {
            return std::string(title.substr(0, end)) + "\xE2\x80\xA6";
        }
        platform::utf8::decodeNext(title, end);
    }
    return std::string(title);
}

} // namespace quill::ticker
