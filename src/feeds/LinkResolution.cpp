#include "feeds/LinkResolution.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace quill::feeds {

namespace {

// The length of the scheme and its ":" when text starts with one, else 0.
std::size_t schemeLength(std::string_view text) {
    if (text.empty() || std::isalpha(static_cast<unsigned char>(text.front())) == 0) {
        return 0;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ':') {
            return i + 1;
        }
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') {
            return 0;
        }
    }
    return 0;
}

// "." and ".." segments of a path that starts with "/" folded away.
std::string withoutDotSegments(std::string_view path) {
    std::vector<std::string_view> kept;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view segment = path.substr(start, end - start);
        const bool last = end == path.size();
        if (segment == "..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
        }
        if (segment == "." || segment == "..") {
            if (last) {
                kept.emplace_back();
            }
        } else {
            kept.push_back(segment);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string_view segment : kept) {
        out += '/';
        out += segment;
    }
    return out.empty() ? "/" : out;
}

} // namespace

std::string resolveLink(std::string_view base, std::string_view reference) {
    while (!reference.empty() && std::isspace(static_cast<unsigned char>(reference.front()))) {
        reference.remove_prefix(1);
    }
    while (!reference.empty() && std::isspace(static_cast<unsigned char>(reference.back()))) {
        reference.remove_suffix(1);
    }
    const std::size_t scheme = schemeLength(base);
    if (schemeLength(reference) > 0 || scheme == 0) {
        return std::string(reference);
    }
    base = base.substr(0, base.find('#'));
    if (reference.starts_with("//")) {
        return std::string(base.substr(0, scheme)) + std::string(reference);
    }
    if (reference.empty() || reference.front() == '#') {
        return std::string(base) + std::string(reference);
    }
    std::size_t pathStart = scheme;
    if (base.substr(scheme, 2) == "//") {
        pathStart = base.find_first_of("/?", scheme + 2);
        pathStart = pathStart == std::string_view::npos ? base.size() : pathStart;
    }
    const std::string_view origin = base.substr(0, pathStart);
    const std::string_view basePath = base.substr(pathStart, base.find('?', pathStart) - pathStart);
    if (reference.front() == '?') {
        return std::string(origin) + std::string(basePath) + std::string(reference);
    }
    const std::size_t pathEnd = std::min(reference.find_first_of("?#"), reference.size());
    std::string path(reference.substr(0, pathEnd));
    if (reference.front() != '/') {
        const std::size_t slash = basePath.rfind('/');
        path =
            (slash == std::string_view::npos ? "/" : std::string(basePath.substr(0, slash + 1))) +
            path;
    }
    return std::string(origin) + withoutDotSegments(path) + std::string(reference.substr(pathEnd));
}

} // namespace quill::feeds
