#include "feeds/FeedExtraction.h"

#include "feeds/AtomEntries.h"
#include "feeds/CharacterReferences.h"
#include "feeds/FeedText.h"
#include "feeds/FieldCutting.h"
#include "feeds/FieldMarking.h"
#include "feeds/ItemTriples.h"
#include "feeds/ReferenceDecoding.h"

#include <array>
#include <optional>

namespace quill::feeds {

namespace {

// After the fixed table, the references it does not name.
std::string decodedField(std::string_view field, const platform::CodePage& system) {
    if (field.find('&') == std::string_view::npos) {
        return finishedField(field, system);
    }
    return finishedField(decodeCharacterReferences(field), system);
}

// The text between the first and second "|" is the first field, between the third and fourth
// the second, and so on, whatever tags the markers came from; the channel image's fields go.
std::vector<std::string> cutFields(const MarkedText& marked,
                                   const std::vector<std::string_view>& between,
                                   const platform::CodePage& system) {
    std::vector<std::string> fields;
    for (std::size_t k = 0; k < between.size(); k += 2) {
        if (k >= marked.markers.size() || marked.markers[k].owner != kChannelImage) {
            fields.push_back(decodedField(between[k], system));
        }
    }
    return fields;
}

// One triple per item, each element taken by its name wherever it stands in the item: a
// missing one no longer shifts the fields of every later item.
std::vector<std::string> itemFields(const MarkedText& marked,
                                    const std::vector<std::string_view>& between,
                                    const platform::CodePage& system) {
    using Elements = std::array<std::optional<std::string_view>, 3>;
    Elements channel;
    std::vector<Elements> items(static_cast<std::size_t>(marked.items));
    for (std::size_t k = 0; k < between.size() && k < marked.markers.size(); ++k) {
        const Marker& marker = marked.markers[k];
        if (!marker.opens || marker.element == FieldElement::None ||
            marker.owner == kChannelImage) {
            continue;
        }
        Elements& owner =
            marker.owner == kChannel ? channel : items[static_cast<std::size_t>(marker.owner)];
        std::optional<std::string_view>& element =
            owner[static_cast<std::size_t>(marker.element) - 1];
        if (!element) {
            element = between[k];
        }
    }
    const auto field = [&](const std::optional<std::string_view>& text) {
        return decodedField(text.value_or(std::string_view()), system);
    };
    std::vector<std::string> fields = {field(channel[0]), field(channel[1]), ""};
    for (const Elements& item : items) {
        appendItem(fields, {field(item[0]), field(item[1]), field(item[2])}, system);
    }
    return fields;
}

} // namespace

FeedResult extractFeed(platform::HttpResponse response, std::string_view address,
                       const platform::CodePage& system,
                       std::optional<std::string_view> repIniCharacter) {
    // Each stage's input is let go as soon as the next has its copy: a feed near the download
    // cap would otherwise be held four times over. (Assigning an empty string would keep the
    // buffer; swapping with one frees it.)
    std::string decoded = decodeFeedBytes(response.body, response.contentType, system);
    std::string().swap(response.body);
    FeedResult result;
    const bool atom = isAtomFeed(decoded);
    if (atom) {
        result.fields = atomFields(decoded, address, system);
    }
    MarkedText marked = markFields(decoded);
    std::string().swap(decoded);
    decodeReferences(marked.text, repIniCharacter);
    if (!atom) {
        const std::vector<std::string_view> between = textBetweenMarkers(marked.text);
        // A rep.ini that starts with "|" takes every marker away, so the markers no longer say
        // whose text is whose; then, as for a document without items (an error page), the
        // plain cut is all there is.
        const bool markersKept = repIniCharacter != std::string_view("|");
        result.fields = marked.items > 0 && markersKept ? itemFields(marked, between, system)
                                                        : cutFields(marked, between, system);
    }
    result.workingText = std::move(marked.text);
    // Only a missing channel description means the feed is unusable; an empty one is fine.
    result.showBadFeedMessage = result.fields.size() < 3;
    if (result.fields.size() >= 3) {
        // An empty third entry marks the channel's heading triple for the ticker.
        result.fields[2].clear();
    }
    return result;
}

} // namespace quill::feeds
