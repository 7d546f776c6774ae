#include "feeds/FieldMarking.h"

#include <array>

namespace quill::feeds {

namespace {

constexpr std::array<std::string_view, 6> kFieldTags = {
    "<link>", "</link>", "<title>", "</title>", "<description>", "</description>"};

// The tag's length when text, which starts with "<", starts with one of the six, else 0. No two
// of them can overlap and "|" starts none, so replacing them all in one pass equals replacing
// them tag by tag.
std::size_t fieldTagAt(std::string_view text) {
    const std::size_t nameAt = text.size() > 2 && text[1] == '/' ? 2 : 1;
    if (text.size() <= nameAt) {
        return 0;
    }
    const char initial = text[nameAt];
    if (initial != 'l' && initial != 't' && initial != 'd') {
        return 0;
    }
    for (const std::string_view tag : kFieldTags) {
        if (text.starts_with(tag)) {
            return tag.size();
        }
    }
    return 0;
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

// RSS 1.0 names its image inside the channel with an empty "<image rdf:resource=.../>".
bool isSelfClosing(std::string_view startTag) {
    const std::size_t close = startTag.find('>');
    return close != std::string_view::npos && close > 0 && startTag[close - 1] == '/';
}

} // namespace

MarkedText markFields(std::string_view feed) {
    enum class Image { NotYet, Inside, Done };
    MarkedText marked;
    std::string& out = marked.text;
    out.reserve(feed.size());
    Image image = Image::NotYet;
    std::size_t markers = 0;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < feed.size(); ++i) {
        const char c = feed[i];
        if (c == '|') {
            ++markers;
            continue;
        }
        if (c != '<') {
            continue;
        }
        const std::string_view rest = feed.substr(i);
        if (const std::size_t tagLength = fieldTagAt(rest)) {
            out.append(feed, copied, i - copied);
            out.push_back('|');
            ++markers;
            i += tagLength - 1;
            copied = i + 1;
        } else if (image != Image::Done && opensElement(rest, "item")) {
            if (image == Image::Inside) {
                marked.channelImage.end = markers;
            }
            image = Image::Done;
        } else if (image == Image::NotYet && opensElement(rest, "image") && !isSelfClosing(rest)) {
            marked.channelImage.first = markers;
            image = Image::Inside;
        } else if (image == Image::Inside && rest.substr(0, 8) == "</image>") {
            marked.channelImage.end = markers;
            image = Image::Done;
        }
    }
    out.append(feed, copied);
    if (image == Image::Inside) {
        marked.channelImage.end = markers;
    }
    return marked;
}

} // namespace quill::feeds
