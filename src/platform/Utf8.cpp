#include "platform/Utf8.h"

#include <cstdint>
#include <cstring>

namespace quill::platform::utf8 {

namespace {

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Where the next byte at or after pos that is not ASCII stands; eight bytes at a time.
std::size_t skipAscii(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    while (pos + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, sizeof word);
        if (word & highBits) {
            break;
        }
        pos += 8;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    return pos;
}

// The range the second byte must lie in after a lead byte; the tight ends rule out overlong
// forms, surrogates and code points above U+10FFFF.
struct SecondByteRange {
    unsigned char low;
    unsigned char high;
};

SecondByteRange secondByteRange(unsigned char lead) {
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

} // namespace

char32_t decodeNext(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int continuations = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        c = lead & 0x07;
    } else {
        return kInvalid;
    }
    const SecondByteRange second = secondByteRange(lead);
    for (int i = 0; i < continuations; ++i) {
        if (pos >= text.size()) {
            return kInvalid;
        }
        const auto b = static_cast<unsigned char>(text[pos]);
        const bool fits = i == 0 ? (b >= second.low && b <= second.high) : isContinuation(b);
        if (!fits) {
            return kInvalid;
        }
        c = (c << 6) | (b & 0x3F);
        ++pos;
    }
    return c;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string sanitize(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t validFrom = 0;
    std::size_t pos = 0;
    while ((pos = skipAscii(text, pos)) < text.size()) {
        const std::size_t start = pos;
        if (decodeNext(text, pos) == kInvalid) {
            out.append(text.substr(validFrom, start - validFrom));
            out.push_back('?');
            validFrom = pos;
        }
    }
    out.append(text.substr(validFrom));
    return out;
}

} // namespace quill::platform::utf8
