#include "feeds/FeedText.h"

#include "platform/Utf8.h"

#include <cctype>
#include <optional>

namespace quill::feeds {

namespace {

enum class ByteOrder { Little, Big };

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view skipSpaces(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    return text.substr(i);
}

std::string_view trimSpaces(std::string_view text) {
    text = skipSpaces(text);
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string decodeUtf16(std::string_view bytes, ByteOrder order) {
    std::string out;
    out.reserve(bytes.size());
    auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return order == ByteOrder::Little ? char32_t(first | (second << 8))
                                          : char32_t((first << 8) | second);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                platform::utf8::append(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            out.push_back('?');
        } else {
            platform::utf8::append(out, unit);
        }
    }
    if (i < bytes.size()) {
        out.push_back('?');
    }
    return out;
}

// The value of name="..." or name='...' among the attributes in text, if there is one.
std::optional<std::string_view> quotedAttribute(std::string_view text, std::string_view name) {
    for (std::size_t at = text.find(name); at != std::string_view::npos;
         at = text.find(name, at + 1)) {
        std::string_view rest = skipSpaces(text.substr(at + name.size()));
        if (rest.empty() || rest.front() != '=') {
            continue;
        }
        rest = skipSpaces(rest.substr(1));
        if (rest.empty() || (rest.front() != '"' && rest.front() != '\'')) {
            continue;
        }
        const std::size_t close = rest.find(rest.front(), 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        return rest.substr(1, close - 1);
    }
    return std::nullopt;
}

std::optional<std::string_view> declaredEncoding(std::string_view bytes) {
    // Some servers put blank lines before the declaration; it is still meant as one.
    const std::string_view text = skipSpaces(bytes);
    if (!startsWith(text, "<?xml")) {
        return std::nullopt;
    }
    const std::size_t end = text.find("?>");
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return quotedAttribute(text.substr(0, end), "encoding");
}

std::optional<std::string_view> contentTypeCharset(std::string_view contentType) {
    std::size_t semicolon = contentType.find(';');
    while (semicolon != std::string_view::npos) {
        const std::size_t next = contentType.find(';', semicolon + 1);
        const std::string_view parameter = contentType.substr(
            semicolon + 1,
            next == std::string_view::npos ? std::string_view::npos : next - semicolon - 1);
        semicolon = next;
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos ||
            !equalsIgnoringCase(trimSpaces(parameter.substr(0, equals)), "charset")) {
            continue;
        }
        std::string_view value = trimSpaces(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        return value;
    }
    return std::nullopt;
}

bool isUtf16Name(std::string_view name) {
    return equalsIgnoringCase(name.substr(0, 6), "utf-16") ||
           equalsIgnoringCase(name.substr(0, 5), "utf16");
}

std::string decodeNamed(std::string_view bytes, std::string_view name,
                        const platform::CodePage& fallback) {
    // The bytes have shown themselves ASCII-compatible by now, so a UTF-16 label is wrong.
    if (isUtf16Name(name)) {
        return platform::utf8::sanitize(bytes);
    }
    auto codePage = platform::codePageByName(name);
    if (!codePage) {
        return fallback.toUtf8(bytes);
    }
    // Feeds labelled Latin-1 or ASCII are in practice written in Windows-1252, its superset.
    if (codePage->name() == "ISO-8859-1" || codePage->name() == "US-ASCII") {
        codePage = platform::makeWindows1252CodePage();
    }
    return codePage->toUtf8(bytes);
}

} // namespace

std::string decodeFeedBytes(std::string_view bytes, std::string_view contentType,
                            const platform::CodePage& fallback) {
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        return platform::utf8::sanitize(bytes.substr(3));
    }
    if (startsWith(bytes, "\xFF\xFE")) {
        return decodeUtf16(bytes.substr(2), ByteOrder::Little);
    }
    if (startsWith(bytes, "\xFE\xFF")) {
        return decodeUtf16(bytes.substr(2), ByteOrder::Big);
    }
    // Without a mark, UTF-16 shows itself by the zero byte beside the document's first "<".
    if (startsWith(bytes, std::string_view("<\0", 2))) {
        return decodeUtf16(bytes, ByteOrder::Little);
    }
    if (startsWith(bytes, std::string_view("\0<", 2))) {
        return decodeUtf16(bytes, ByteOrder::Big);
    }
    if (const auto declared = declaredEncoding(bytes)) {
        return decodeNamed(bytes, *declared, fallback);
    }
    if (const auto charset = contentTypeCharset(contentType)) {
        return decodeNamed(bytes, *charset, fallback);
    }
    return platform::utf8::sanitize(bytes);
}

} // namespace quill::feeds
