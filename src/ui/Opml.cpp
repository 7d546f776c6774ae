#include "ui/Opml.h"

#include "platform/XmlElements.h"
#include "ui/BareAmpersands.h"
#include "ui/WebLink.h"

#include <algorithm>
#include <cstddef>

namespace quill::ui {

namespace {

constexpr const char* kRoot = "opml";

// Within a double-quoted attribute value. A tab would read back as a blank; the other C0
// controls cannot stand in XML 1.0 at all.
std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20) {
                out += c;
            }
        }
    }
    return out;
}

const std::string* attribute(const platform::XmlElement& element, std::string_view name) {
    for (const platform::XmlAttribute& attribute : element.attributes) {
        if (attribute.name == name) {
            return &attribute.value;
        }
    }
    return nullptr;
}

} // namespace

OpmlFeeds readOpml(std::string_view document) {
    const auto elements = platform::readXmlElements(escapeBareAmpersands(document));
    if (!elements || elements->empty()) {
        return {{}, "it is not a well-formed XML file"};
    }
    if (elements->front().name != kRoot) {
        return {{},
                "it is an XML file, but not an OPML outline (its outermost element is <" +
                    elements->front().name + ">, not <opml>)"};
    }
    OpmlFeeds result;
    // Names of the open elements above the current one: outlines count only in opml/body/...
    std::vector<std::string_view> ancestors;
    for (const platform::XmlElement& element : *elements) {
        ancestors.resize(static_cast<std::size_t>(element.depth));
        const bool inBody = ancestors.size() >= 2 && ancestors[1] == "body" &&
                            std::all_of(ancestors.begin() + 2, ancestors.end(),
                                        [](std::string_view name) { return name == "outline"; });
        if (element.name == "outline" && inBody) {
            if (const std::string* url = attribute(element, "xmlUrl")) {
                if (const auto address = webLink(*url)) {
                    result.addresses.push_back(*address);
                }
            }
        }
        ancestors.push_back(element.name);
    }
    result.addresses = unlisted({}, result.addresses);
    return result;
}

std::vector<std::string> writeOpml(const std::vector<OpmlOutline>& feeds) {
    std::vector<std::string> lines{R"(<?xml version="1.0" encoding="UTF-8"?>)",
                                   R"(<opml version="2.0">)",
                                   "  <head>",
                                   "    <title>Quillmark feeds</title>",
                                   "  </head>",
                                   "  <body>"};
    for (const OpmlOutline& feed : feeds) {
        lines.push_back(R"(    <outline type="rss" text=")" + escaped(feed.text) + R"(" xmlUrl=")" +
                        escaped(feed.address) + R"("/>)");
    }
    lines.insert(lines.end(), {"  </body>", "</opml>"});
    return lines;
}

std::vector<std::string> unlisted(const std::vector<std::string>& listed,
                                  const std::vector<std::string>& found) {
    std::vector<std::string> fresh;
    for (const std::string& address : found) {
        if (std::find(listed.begin(), listed.end(), address) == listed.end() &&
            std::find(fresh.begin(), fresh.end(), address) == fresh.end()) {
            fresh.push_back(address);
        }
    }
    return fresh;
}

} // namespace quill::ui
