#include "feeds/RepIni.h"

#include "feeds/LinksFile.h"
#include "platform/Utf8.h"

#include <fstream>

namespace quill::feeds {

std::optional<std::string> readRepIniFirstChar(const std::filesystem::path& path,
                                               const platform::CodePage& codePage) {
    std::ifstream file(path, std::ios::binary);
    // A byte-order mark, then four bytes: the longest character of any code page we read.
    char bytes[3 + 4];
    file.read(bytes, sizeof bytes);
    const std::string text = decodeSettingsBytes(
        std::string_view(bytes, static_cast<std::size_t>(file.gcount())), codePage);
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t end = 0;
    platform::utf8::decodeNext(text, end);
    return text.substr(0, end);
}

} // namespace quill::feeds
