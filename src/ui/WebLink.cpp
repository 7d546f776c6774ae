#include "ui/WebLink.h"

#include <algorithm>
#include <cctype>

namespace quill::ui {

namespace {

// C0 controls, space and DEL: what surrounds a link cut out of a feed, never part of it.
bool isBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

bool isControl(char c) {
    return isBlankOrControl(c) && c != ' ';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The host of an authority such as "user@host:8080", without the user and the port.
std::string_view hostOf(std::string_view authority) {
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (!authority.empty() && authority.front() == '[') { // an IPv6 literal keeps its colons
        const auto close = authority.find(']');
        return close == std::string_view::npos ? std::string_view{}
                                               : authority.substr(0, close + 1);
    }
    return authority.substr(0, authority.find(':'));
}

} // namespace

std::optional<std::string> webLink(std::string_view link) {
    link = trimmed(link);
    if (std::any_of(link.begin(), link.end(), isControl)) {
        return std::nullopt;
    }
    const auto colon = link.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view scheme = link.substr(0, colon);
    if (!equalsIgnoringCase(scheme, "http") && !equalsIgnoringCase(scheme, "https")) {
        return std::nullopt;
    }
    std::string_view rest = link.substr(colon + 1);
    if (rest.substr(0, 2) != "//") {
        return std::nullopt;
    }
    rest.remove_prefix(2);
    const std::string_view host = hostOf(rest.substr(0, rest.find_first_of("/?#")));
    if (host.empty() || host.find(' ') != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(link);
}

} // namespace quill::ui
