#pragma once

#include "platform/CodePage.h"
#include "platform/Http.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::feeds {

inline constexpr std::string_view kBadFeedMessage =
    "internet error or wrong rss/xml link has been provided by user.. please check the internet "
    "connection and reinstall software";

struct FeedResult {
    // The decoded feed after every replacement, before cutting.
    std::string workingText;
    // Heading triple first (channel title, link, ""), then the items' fields in document order.
    std::vector<std::string> fields;
    // The feed gave no third field, so it is no feed the ticker can use.
    bool showBadFeedMessage = false;
};

// Everything the feed step does with a fetched feed: decode it, mark and decode it by the fixed
// replacement table, cut it into fields and adjust them for the ticker. repIniCharacter is the
// first character of rep.ini, if there is one.
FeedResult extractFeed(platform::HttpResponse response, const platform::CodePage& system,
                       std::optional<std::string_view> repIniCharacter);

} // namespace quill::feeds
