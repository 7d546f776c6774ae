#include "feeds/RepIni.h"

#include "platform/Utf8.h"

#include <fstream>

namespace quill::feeds {

std::optional<std::string> readRepIniFirstChar(const std::filesystem::path& path,
                                               const platform::CodePage& codePage) {
    std::ifstream file(path, std::ios::binary);
    // Four bytes hold the longest character of any code page we read.
    char bytes[4];
    file.read(bytes, sizeof bytes);
    if (file.gcount() <= 0) {
        return std::nullopt;
    }
    const std::string text =
        codePage.toUtf8(std::string_view(bytes, static_cast<std::size_t>(file.gcount())));
    std::size_t end = 0;
    platform::utf8::decodeNext(text, end);
    return text.substr(0, end);
}

} // namespace quill::feeds
