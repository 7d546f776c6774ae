#include "platform/XmlElements.h"

#include <pugixml.hpp>

namespace quill::platform {

namespace {

// The walker goes without recursion, so a deeply nested file cannot exhaust the stack.
class ElementCollector : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node& node) override {
        if (node.type() != pugi::node_element) {
            return true;
        }
        roots += depth() == 0 ? 1 : 0;
        XmlElement element{depth(), node.name(), {}};
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            element.attributes.push_back({attribute.name(), attribute.value()});
        }
        elements.push_back(std::move(element));
        return true;
    }

    std::vector<XmlElement> elements;
    int roots = 0;
};

} // namespace

std::optional<std::vector<XmlElement>> readXmlElements(std::string_view document) {
    pugi::xml_document parsed;
    const pugi::xml_parse_result result = parsed.load_buffer(
        document.data(), document.size(), pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        return std::nullopt;
    }
    ElementCollector collector;
    parsed.traverse(collector);
    // One root, as XML has it; the parser alone takes a fragment of several.
    if (collector.roots != 1) {
        return std::nullopt;
    }
    return std::move(collector.elements);
}

} // namespace quill::platform
