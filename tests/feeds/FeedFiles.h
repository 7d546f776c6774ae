#pragma once

#include "feeds/FeedExtraction.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace quill::feeds::test {

inline std::string readFeedFile(const std::string& name) {
    std::ifstream file(std::string(QUILL_SOURCE_DIR) + "/tests/feeds/data/" + name,
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline FeedResult extractBody(std::string body, const platform::CodePage& system,
                              std::optional<std::string_view> repIniCharacter = std::nullopt,
                              std::string contentType = "application/rss+xml",
                              std::string_view address = "http://feeds.example/news/feed.xml") {
    return extractFeed(platform::HttpResponse{std::move(body), std::move(contentType)}, address,
                       system, repIniCharacter);
}

} // namespace quill::feeds::test
