#include "feeds/CharacterReferences.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

namespace quill::feeds {

namespace {

struct Entity {
    std::string_view name;
    char32_t character;
};

// Sorted by name for the binary search.
constexpr std::array<Entity, 68> kEntities = {{
    {"AElig", 0xC6},   {"Aacute", 0xC1},   {"Agrave", 0xC0},   {"Auml", 0xC4},
    {"Ccedil", 0xC7},  {"Eacute", 0xC9},   {"Oslash", 0xD8},   {"Ouml", 0xD6},
    {"Uuml", 0xDC},    {"aacute", 0xE1},   {"acirc", 0xE2},    {"aelig", 0xE6},
    {"agrave", 0xE0},  {"amp", 0x26},      {"apos", 0x27},     {"aring", 0xE5},
    {"atilde", 0xE3},  {"auml", 0xE4},     {"bull", 0x2022},   {"ccedil", 0xE7},
    {"cent", 0xA2},    {"copy", 0xA9},     {"dagger", 0x2020}, {"deg", 0xB0},
    {"eacute", 0xE9},  {"ecirc", 0xEA},    {"egrave", 0xE8},   {"euml", 0xEB},
    {"euro", 0x20AC},  {"frac12", 0xBD},   {"gt", 0x3E},       {"hellip", 0x2026},
    {"iacute", 0xED},  {"icirc", 0xEE},    {"iexcl", 0xA1},    {"iquest", 0xBF},
    {"iuml", 0xEF},    {"laquo", 0xAB},    {"ldquo", 0x201C},  {"lsaquo", 0x2039},
    {"lsquo", 0x2018}, {"lt", 0x3C},       {"mdash", 0x2014},  {"middot", 0xB7},
    {"nbsp", 0xA0},    {"ndash", 0x2013},  {"ntilde", 0xF1},   {"oacute", 0xF3},
    {"ocirc", 0xF4},   {"oslash", 0xF8},   {"ouml", 0xF6},     {"para", 0xB6},
    {"pound", 0xA3},   {"quot", 0x22},     {"raquo", 0xBB},    {"rdquo", 0x201D},
    {"reg", 0xAE},     {"rsaquo", 0x203A}, {"rsquo", 0x2019},  {"sbquo", 0x201A},
    {"sect", 0xA7},    {"shy", 0xAD},      {"szlig", 0xDF},    {"times", 0xD7},
    {"trade", 0x2122}, {"uacute", 0xFA},   {"uuml", 0xFC},     {"yen", 0xA5},
}};

bool isCharacter(std::uint32_t value) {
    return value != 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

std::optional<char32_t> numeric(std::string_view digits) {
    int base = 10;
    if (!digits.empty() && (digits.front() == 'x' || digits.front() == 'X')) {
        base = 16;
        digits.remove_prefix(1);
    }
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    if (digits.empty() || error != std::errc{} || stop != end || !isCharacter(value)) {
        return std::nullopt;
    }
    return static_cast<char32_t>(value);
}

std::optional<char32_t> named(std::string_view name) {
    const auto found = std::lower_bound(
        kEntities.begin(), kEntities.end(), name,
        [](const Entity& entity, std::string_view key) { return entity.name < key; });
    if (found == kEntities.end() || found->name != name) {
        return std::nullopt;
    }
    return found->character;
}

// The longest reference body worth looking at: "#x10FFFF" and the longest name fit.
constexpr std::size_t kLongestBody = 8;

} // namespace

std::string decodeCharacterReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t amp = text.find('&'); amp != std::string_view::npos;
         amp = text.find('&', amp + 1)) {
        // Only as far as the longest body: a long text full of bare "&" stays linear.
        const std::size_t found = text.substr(amp + 1, kLongestBody + 1).find(';');
        if (found == 0 || found == std::string_view::npos) {
            continue;
        }
        const std::size_t semicolon = amp + 1 + found;
        const std::string_view body = text.substr(amp + 1, found);
        const auto character = body.front() == '#' ? numeric(body.substr(1)) : named(body);
        if (!character) {
            continue;
        }
        out.append(text, copied, amp - copied);
        platform::utf8::append(out, *character);
        copied = semicolon + 1;
        amp = semicolon;
    }
    out.append(text, copied);
    return out;
}

} // namespace quill::feeds
