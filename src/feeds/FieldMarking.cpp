#include "feeds/FieldMarking.h"

#include <array>

namespace quill::feeds {

namespace {

struct FieldTag {
    std::string_view tag;
    FieldElement element;
};

constexpr std::array<FieldTag, 6> kFieldTags = {{{"<link>", FieldElement::Link},
                                                 {"</link>", FieldElement::Link},
                                                 {"<title>", FieldElement::Title},
                                                 {"</title>", FieldElement::Title},
                                                 {"<description>", FieldElement::Description},
                                                 {"</description>", FieldElement::Description}}};

// The tag text, which starts with "<", starts with, if it is one of the six. No two of them can
// overlap and "|" starts none, so replacing them all in one pass equals replacing them tag by
// tag.
const FieldTag* fieldTagAt(std::string_view text) {
    const std::size_t nameAt = text.size() > 2 && text[1] == '/' ? 2 : 1;
    if (text.size() <= nameAt) {
        return nullptr;
    }
    const char initial = text[nameAt];
    if (initial != 'l' && initial != 't' && initial != 'd') {
        return nullptr;
    }
    for (const FieldTag& tag : kFieldTags) {
        if (text.starts_with(tag.tag)) {
            return &tag;
        }
    }
    return nullptr;
}

// True when text starts an element called name: "<name>", "<name .../>", "<name/>".
bool opensElement(std::string_view text, std::string_view name) {
    if (text.size() < name.size() + 2 || text.substr(1, name.size()) != name) {
        return false;
    }
    const char next = text[name.size() + 1];
    return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' ||
           next == '\n';
}

// RSS 1.0 names its image inside the channel with an empty "<image rdf:resource=.../>". The
// search stops at the next "<", so a document of unclosed tags is still read in linear time.
bool isSelfClosing(std::string_view startTag) {
    const std::size_t close = startTag.find_first_of("<>", 1);
    return close != std::string_view::npos && startTag[close] == '>' && startTag[close - 1] == '/';
}

} // namespace

MarkedText markFields(std::string_view feed) {
    enum class Image { NotYet, Inside, Done };
    MarkedText marked;
    std::string& out = marked.text;
    out.reserve(feed.size());
    Image image = Image::NotYet;
    int owner = kChannel;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < feed.size(); ++i) {
        const char c = feed[i];
        if (c == '|') {
            marked.markers.push_back({FieldElement::None, false, owner});
            continue;
        }
        if (c != '<') {
            continue;
        }
        const std::string_view rest = feed.substr(i);
        if (const FieldTag* tag = fieldTagAt(rest)) {
            out.append(feed, copied, i - copied);
            out.push_back('|');
            marked.markers.push_back({tag->element, tag->tag[1] != '/', owner});
            i += tag->tag.size() - 1;
            copied = i + 1;
        } else if (opensElement(rest, "item")) {
            // The channel's image ends where the items begin, closed or not.
            image = Image::Done;
            owner = isSelfClosing(rest) ? kChannel : marked.items++;
        } else if (rest.starts_with("</item>")) {
            owner = kChannel;
        } else if (image == Image::NotYet && opensElement(rest, "image") && !isSelfClosing(rest)) {
            image = Image::Inside;
            owner = kChannelImage;
        } else if (image == Image::Inside && rest.starts_with("</image>")) {
            image = Image::Done;
            owner = kChannel;
        }
    }
    out.append(feed, copied);
    return marked;
}

} // namespace quill::feeds
