#include "feeds/ItemTriples.h"

#include "feeds/PlainText.h"

#include <algorithm>

namespace quill::feeds {

namespace {

// Long enough for a sentence's worth of words, short enough to read as a headline.
constexpr std::size_t kHeadlineCharacters = 80;

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

} // namespace

std::string finishedField(std::string_view field, const platform::CodePage& system) {
    return system.toUtf8(system.fromUtf8(field.substr(0, field.find('|'))));
}

void appendItem(std::vector<std::string>& fields, ItemTriple item,
                const platform::CodePage& system) {
    if (isBlank(item.title)) {
        item.title = finishedField(
            shortenedAtWord(plainText(item.description), kHeadlineCharacters), system);
        if (item.title.empty()) {
            return;
        }
    }
    fields.push_back(std::move(item.title));
    fields.push_back(std::move(item.link));
    fields.push_back(std::move(item.description));
}

} // namespace quill::feeds
