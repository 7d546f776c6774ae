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
    // Heading triple first (channel title, link, ""), then one triple per item in document order.
    std::vector<std::string> fields;
    // The feed gave no third field, so it is no feed the ticker can use.
    bool showBadFeedMessage = false;
};

// Everything the feed step does with a fetched feed: decode it, mark and decode it by the fixed
// replacement table, take each item's title, link and description (an Atom feed's entries) and
// adjust them for the ticker. address is where the feed came from, for its relative links;
// repIniCharacter is the first character of rep.ini, if there is one.
FeedResult extractFeed(platform::HttpResponse response, std::string_view address,
                       const platform::CodePage& system,
                       std::optional<std::string_view> repIniCharacter);

} // namespace quill::feeds
