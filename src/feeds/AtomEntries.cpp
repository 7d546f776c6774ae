#include "feeds/AtomEntries.h"

#include "feeds/CharacterReferences.h"
#include "feeds/ItemTriples.h"
#include "feeds/LinkResolution.h"
#include "feeds/PlainText.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace quill::feeds {

namespace {

struct Tag {
    std::string_view name;
    std::string_view attributes;
    bool closing = false;
    bool empty = false; // "<name/>"
};

bool isNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '-' || c == '_' ||
           c == '.';
}

// The next start or end tag from at on; comments, CDATA sections, declarations and processing
// instructions are passed over. at ends after the tag.
std::optional<Tag> nextTag(std::string_view text, std::size_t& at) {
    constexpr std::pair<std::string_view, std::string_view> kSkipped[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
    while ((at = text.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        bool skipped = false;
        for (const auto& [open, close] : kSkipped) {
            if (rest.starts_with(open)) {
                const std::size_t end = text.find(close, at + open.size());
                at = end == std::string_view::npos ? text.size() : end + close.size();
                skipped = true;
                break;
            }
        }
        if (skipped) {
            continue;
        }
        Tag tag;
        tag.closing = rest.size() > 1 && rest[1] == '/';
        std::size_t nameEnd = tag.closing ? 2 : 1;
        while (nameEnd < rest.size() && isNameCharacter(rest[nameEnd])) {
            ++nameEnd;
        }
        // A "<" before the ">" means this one opened no tag; stopping there keeps a document
        // of unclosed tags linear.
        const std::size_t close = rest.find_first_of("<>", nameEnd);
        if (nameEnd == (tag.closing ? 2u : 1u) || close == std::string_view::npos ||
            rest[close] != '>') {
            ++at;
            continue;
        }
        tag.name = rest.substr(tag.closing ? 2 : 1, nameEnd - (tag.closing ? 2 : 1));
        tag.attributes = rest.substr(nameEnd, close - nameEnd);
        tag.empty = !tag.attributes.empty() && tag.attributes.back() == '/';
        at += close + 1;
        return tag;
    }
    at = text.size();
    return std::nullopt;
}

// An attribute's value with its references decoded; empty when the tag has none by that name.
std::string attribute(std::string_view attributes, std::string_view name) {
    for (std::size_t at = attributes.find(name); at != std::string_view::npos;
         at = attributes.find(name, at + 1)) {
        if (at > 0 && isNameCharacter(attributes[at - 1])) {
            continue;
        }
        std::size_t next = at + name.size();
        while (next < attributes.size() && attributes[next] == ' ') {
            ++next;
        }
        if (next + 1 >= attributes.size() || attributes[next] != '=') {
            continue;
        }
        ++next;
        while (next < attributes.size() && attributes[next] == ' ') {
            ++next;
        }
        const char quote = attributes[next];
        const std::size_t end = attributes.find(quote, next + 1);
        if ((quote != '"' && quote != '\'') || end == std::string_view::npos) {
            continue;
        }
        return decodeCharacterReferences(attributes.substr(next + 1, end - next - 1));
    }
    return {};
}

// The text of an element whose content is text: references decoded outside CDATA sections.
std::string elementText(std::string_view content) {
    std::string out;
    for (std::size_t at = 0; at < content.size();) {
        const std::size_t cdata = content.find("<![CDATA[", at);
        out += decodeCharacterReferences(content.substr(at, cdata - at));
        if (cdata == std::string_view::npos) {
            break;
        }
        const std::size_t end = content.find("]]>", cdata);
        out += content.substr(cdata + 9, end - cdata - 9);
        at = end == std::string_view::npos ? content.size() : end + 3;
    }
    return out;
}

// A title as a headline: plain text whatever its type.
std::string headline(std::string_view content, std::string_view type) {
    if (type == "xhtml") {
        return plainText(content);
    }
    const std::string text = elementText(content);
    return type == "html" ? plainText(text) : collapsedSpace(text);
}

// A summary or content as the description the tip makes plain.
std::string description(std::string_view content, std::string_view type) {
    return type == "xhtml" ? std::string(content) : elementText(content);
}

// Where a text element's content ends. Once an end tag is missing it is missing from there on,
// so a document of unclosed titles is searched once, not once per title.
class ContentEnds {
public:
    std::size_t find(std::string_view document, std::string_view closing, std::size_t at) {
        if (std::find(missing_.begin(), missing_.end(), closing) != missing_.end()) {
            return std::string_view::npos;
        }
        const std::size_t end = document.find(closing, at);
        if (end == std::string_view::npos) {
            missing_.emplace_back(closing);
        }
        return end;
    }

private:
    std::vector<std::string> missing_;
};

struct Reading {
    ItemTriple triple;
    std::string base;
    bool hasTitle = false, hasLink = false, hasSummary = false, hasContent = false;
};

// The first title, and the summary or else the first content, of the feed or an entry.
void takeText(Reading& reading, const Tag& tag, std::string_view content) {
    const std::string type = attribute(tag.attributes, "type");
    if (tag.name == "title" && !reading.hasTitle) {
        reading.triple.title = headline(content, type);
        reading.hasTitle = true;
    } else if (tag.name == "summary" && !reading.hasSummary) {
        reading.triple.description = description(content, type);
        reading.hasSummary = true;
    } else if (tag.name == "content" && !reading.hasSummary && !reading.hasContent) {
        reading.triple.description = description(content, type);
        reading.hasContent = true;
    }
}

} // namespace

bool isAtomFeed(std::string_view document) {
    std::size_t at = 0;
    const std::optional<Tag> first = nextTag(document, at);
    return first && first->name == "feed";
}

std::vector<std::string> atomFields(std::string_view document, std::string_view address,
                                    const platform::CodePage& system) {
    Reading feed;
    feed.base = address;
    std::optional<Reading> entry;
    std::vector<ItemTriple> entries;
    ContentEnds contentEnds;
    std::size_t at = 0;
    while (const std::optional<Tag> tag = nextTag(document, at)) {
        Reading& reading = entry ? *entry : feed;
        if (tag->closing) {
            if (tag->name == "entry" && entry) {
                entries.push_back(std::move(entry->triple));
                entry.reset();
            }
            continue;
        }
        // An entry's base is the feed's, also after an entry that was never closed.
        const std::string& parent = tag->name == "entry" ? feed.base : reading.base;
        const std::string base = attribute(tag->attributes, "xml:base");
        const std::string here = base.empty() ? parent : resolveLink(parent, base);
        if (tag->name == "feed") {
            feed.base = here;
        } else if (tag->name == "entry" && !tag->empty) {
            if (entry) {
                entries.push_back(std::move(entry->triple));
            }
            entry.emplace();
            entry->base = here;
        } else if (tag->name == "link") {
            const std::string rel = attribute(tag->attributes, "rel");
            if (!reading.hasLink && (rel.empty() || rel == "alternate")) {
                reading.triple.link = resolveLink(here, attribute(tag->attributes, "href"));
                reading.hasLink = true;
            }
        } else if (!tag->empty && (tag->name == "title" || tag->name == "summary" ||
                                   tag->name == "content" || tag->name == "source")) {
            // Their content is text or markup of its own, never the feed's elements; a source
            // names the feed an entry came from, whose title is not the entry's.
            // One never closed is empty, and what follows it is read on.
            const std::string closing = "</" + std::string(tag->name) + ">";
            const std::size_t end = contentEnds.find(document, closing, at);
            const std::string_view content =
                end == std::string_view::npos ? std::string_view() : document.substr(at, end - at);
            at = end == std::string_view::npos ? at : end + closing.size();
            takeText(reading, *tag, content);
        }
    }
    if (entry) {
        entries.push_back(std::move(entry->triple));
    }
    std::vector<std::string> fields = {finishedField(feed.triple.title, system),
                                       finishedField(feed.triple.link, system), ""};
    for (ItemTriple& triple : entries) {
        for (std::string* field : {&triple.title, &triple.link, &triple.description}) {
            *field = finishedField(*field, system);
        }
        appendItem(fields, std::move(triple), system);
    }
    return fields;
}

} // namespace quill::feeds
