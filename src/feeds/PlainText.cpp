#include "feeds/PlainText.h"

#include "feeds/CharacterReferences.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quill::feeds {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Tags that end a line or a block: removing them must leave the words on both sides apart.
bool separatesWords(std::string_view name) {
    static constexpr std::array<std::string_view, 20> kSeparating = {
        "blockquote", "br", "dd",  "div", "dt", "h1", "h2",    "h3", "h4", "h5",
        "h6",         "hr", "img", "li",  "ol", "p",  "table", "td", "tr", "ul"};
    return std::find(kSeparating.begin(), kSeparating.end(), name) != kSeparating.end();
}

bool opensTag(std::string_view text, std::size_t at) {
    if (at + 1 >= text.size()) {
        return false;
    }
    const unsigned char next = static_cast<unsigned char>(text[at + 1]);
    return std::isalpha(next) != 0 || next == '/' || next == '!' || next == '?';
}

std::string tagName(std::string_view tag) {
    std::size_t start = 1;
    while (start < tag.size() && (tag[start] == '/' || tag[start] == '!' || tag[start] == '?')) {
        ++start;
    }
    std::size_t end = start;
    while (end < tag.size() && std::isalnum(static_cast<unsigned char>(tag[end])) != 0) {
        ++end;
    }
    return lower(tag.substr(start, end - start));
}

// A CDATA marker would otherwise read as a tag that runs to the first ">" of its content.
std::string withoutCdataMarkers(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t marker = 0;
        for (const std::string_view candidate :
             {std::string_view("<![CDATA["), std::string_view("]]>")}) {
            if (text.substr(at, candidate.size()) == candidate) {
                marker = candidate.size();
            }
        }
        if (marker > 0) {
            out += ' ';
            at += marker;
        } else {
            out += text[at++];
        }
    }
    return out;
}

// A "<" that opens no tag is text ("a < b"); a tag cut off by the field's end is dropped.
// Scripts and style sheets are code, not text.
std::string withoutMarkup(std::string_view text) {
    std::string out;
    // Once, not once per script: a text full of them stays linear.
    std::string lowered;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('<', at);
        if (open == std::string_view::npos) {
            out.append(text, at);
            break;
        }
        out.append(text, at, open - at);
        if (!opensTag(text, open)) {
            out += '<';
            at = open + 1;
            continue;
        }
        const std::size_t close = text.find('>', open);
        if (close == std::string_view::npos) {
            break;
        }
        const std::string name = tagName(text.substr(open, close - open));
        at = close + 1;
        if ((name == "script" || name == "style") && text[open + 1] != '/') {
            if (lowered.empty()) {
                lowered = lower(text);
            }
            const std::size_t end = lowered.find("</" + name, at);
            const std::size_t endClose = end == std::string::npos ? end : text.find('>', end);
            at = endClose == std::string_view::npos ? text.size() : endClose + 1;
        }
        if (separatesWords(name)) {
            out += ' ';
        }
    }
    return out;
}

bool isSpaceAt(std::string_view text, std::size_t at, std::size_t& length) {
    if (std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        length = 1;
        return true;
    }
    length = kNoBreakSpace.size();
    return text.substr(at, length) == kNoBreakSpace;
}

} // namespace

std::string collapsedSpace(std::string_view text) {
    std::string out;
    bool pendingSpace = false;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 0;
        if (isSpaceAt(text, at, length)) {
            pendingSpace = !out.empty();
            at += length;
            continue;
        }
        if (pendingSpace) {
            out += ' ';
            pendingSpace = false;
        }
        out += text[at++];
    }
    return out;
}

// Cut before the word the limit falls in, unless that loses too much of the text (one long
// word, an address).
std::string shortenedAtWord(std::string text, std::size_t characters) {
    std::size_t pos = 0;
    for (std::size_t count = 0; count < characters && pos < text.size(); ++count) {
        platform::utf8::decodeNext(text, pos);
    }
    if (pos >= text.size()) {
        return text;
    }
    std::size_t cut = pos;
    if (text[pos] != ' ') {
        const std::size_t space = text.rfind(' ', pos);
        if (space != std::string::npos && space >= pos / 2) {
            cut = space;
        }
    }
    while (cut > 0 && std::string_view(",;:-").find(text[cut - 1]) != std::string_view::npos) {
        --cut;
    }
    text.resize(cut);
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    text += kEllipsis;
    return text;
}

std::string plainText(std::string_view html) {
    return collapsedSpace(decodeCharacterReferences(withoutMarkup(withoutCdataMarkers(html))));
}

} // namespace quill::feeds
