#include "feeds/FeedExtraction.h"

#include "feeds/FeedText.h"
#include "feeds/FieldCutting.h"
#include "feeds/FieldMarking.h"
#include "feeds/ReferenceDecoding.h"

namespace quill::feeds {

namespace {

// The channel image's title, link and description are no headlines; everything else stays,
// so the items keep their title, link, description triples.
std::vector<std::string> withoutChannelImage(std::vector<CutField> cut, MarkerSpan image) {
    std::vector<std::string> fields;
    fields.reserve(cut.size());
    for (CutField& field : cut) {
        if (!image.contains(field.openingMarker)) {
            fields.push_back(std::move(field.text));
        }
    }
    return fields;
}

} // namespace

FeedResult extractFeed(platform::HttpResponse response, const platform::CodePage& system,
                       std::optional<std::string_view> repIniCharacter) {
    // Each stage's input is let go as soon as the next has its copy: a feed near the download
    // cap would otherwise be held four times over. (Assigning an empty string would keep the
    // buffer; swapping with one frees it.)
    std::string decoded = decodeFeedBytes(response.body, response.contentType, system);
    std::string().swap(response.body);
    MarkedText marked = markFields(decoded);
    std::string().swap(decoded);
    decodeReferences(marked.text, repIniCharacter);
    FeedResult result;
    result.fields = withoutChannelImage(cutFields(marked.text, system), marked.channelImage);
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
