#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::platform {

struct XmlAttribute {
    std::string name, value; // UTF-8, references resolved
};

// One element's start tag; its text and comments are not kept.
struct XmlElement {
    int depth = 0;    // 0 for the root element
    std::string name; // as written, with any prefix
    std::vector<XmlAttribute> attributes;
};

// Every element of a well-formed document, in document order; nothing when the document is not
// well-formed XML. The document's own encoding declaration or byte-order mark decides how its
// bytes read. Document type declarations are never expanded; a reader may refuse them.
std::optional<std::vector<XmlElement>> readXmlElements(std::string_view document);

} // namespace quill::platform
