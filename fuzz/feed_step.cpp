// Everything the feed step does after a download, on arbitrary bytes. The first byte picks the
// system code page and the rep.ini character, the first line after it is the Content-Type and
// the rest is the body.
#include "feeds/FeedExtraction.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto utf8 = quill::platform::makeUtf8CodePage();
    static const auto windows1252 = quill::platform::makeWindows1252CodePage();
    static constexpr std::string_view repIniCharacters[] = {"|", "\r", "&", "#", "\xC3\xA9"};
    if (size == 0) {
        return 0;
    }
    const std::uint8_t options = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t lineEnd = rest.find('\n');
    const std::string_view contentType = rest.substr(0, lineEnd);
    const std::string_view body =
        lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);

    const quill::platform::CodePage& system = (options & 1) ? *windows1252 : *utf8;
    std::optional<std::string_view> repIni;
    if (const unsigned pick = (options >> 1) % 6; pick > 0) {
        repIni = repIniCharacters[pick - 1];
    }
    const auto result = quill::feeds::extractFeed(
        quill::platform::HttpResponse{std::string(body), std::string(contentType)},
        "http://fuzz.example/a/feed.xml", system, repIni);
    // The ticker relies on these.
    for (const std::string& field : result.fields) {
        if (field.find('|') != std::string::npos) {
            __builtin_trap();
        }
    }
    if (result.showBadFeedMessage != (result.fields.size() < 3) ||
        (result.fields.size() >= 3 && !result.fields[2].empty())) {
        __builtin_trap();
    }
    return 0;
}
