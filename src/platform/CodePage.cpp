#include "platform/CodePage.h"

#include "platform/Charsets.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace quill::platform {

namespace {

class Utf8CodePage final : public CodePage {
public:
    std::string name() const override { return "UTF-8"; }
    std::string toUtf8(std::string_view bytes) const override { return utf8::sanitize(bytes); }
    std::string fromUtf8(std::string_view text) const override { return utf8::sanitize(text); }
};

using ByteTable = std::array<char32_t, 256>;

class SingleByteCodePage final : public CodePage {
public:
    SingleByteCodePage(std::string name, const ByteTable& table)
        : name_(std::move(name)), table_(table) {
        for (unsigned b = 0x80; b < 0x100; ++b) {
            if (table_[b] != utf8::kInvalid) {
                upperHalf_.emplace_back(table_[b], static_cast<char>(b));
            }
        }
        std::sort(upperHalf_.begin(), upperHalf_.end());
    }

    std::string name() const override { return name_; }

    std::string toUtf8(std::string_view bytes) const override {
        std::string out;
        out.reserve(bytes.size());
        for (const char byte : bytes) {
            const char32_t c = table_[static_cast<unsigned char>(byte)];
            if (c == utf8::kInvalid) {
                out.push_back('?');
            } else {
                utf8::append(out, c);
            }
        }
        return out;
    }

    std::string fromUtf8(std::string_view text) const override {
        std::string out;
        out.reserve(text.size());
        std::size_t pos = 0;
        while (pos < text.size()) {
            if (static_cast<unsigned char>(text[pos]) < 0x80) {
                out.push_back(text[pos++]);
                continue;
            }
            const char32_t c = utf8::decodeNext(text, pos);
            const auto found =
                std::lower_bound(upperHalf_.begin(), upperHalf_.end(), c,
                                 [](const auto& entry, char32_t key) { return entry.first < key; });
            out.push_back(found != upperHalf_.end() && found->first == c ? found->second : '?');
        }
        return out;
    }

private:
    std::string name_;
    ByteTable table_;
    // Characters of bytes 0x80-0xFF, sorted, for the way back.
    std::vector<std::pair<char32_t, char>> upperHalf_;
};

// Every table here is ASCII in its lower half.
ByteTable latin1Table(unsigned limit) {
    ByteTable table{};
    for (unsigned b = 0; b < 0x100; ++b) {
        table[b] = b < limit ? b : utf8::kInvalid;
    }
    return table;
}

ByteTable windows1252Table() {
    constexpr char32_t X = utf8::kInvalid;
    constexpr std::array<char32_t, 32> range80to9F = {
        0x20AC, X,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, X,      0x017D, X,      X,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, X,      0x017E, 0x0178};
    ByteTable table = latin1Table(0x100);
    std::copy(range80to9F.begin(), range80to9F.end(), table.begin() + 0x80);
    return table;
}

template <std::size_t N>
bool isOneOf(const std::string& name, const std::array<std::string_view, N>& aliases) {
    return std::find(aliases.begin(), aliases.end(), name) != aliases.end();
}

} // namespace

std::unique_ptr<CodePage> makeUtf8CodePage() {
    return std::make_unique<Utf8CodePage>();
}

std::unique_ptr<CodePage> makeWindows1252CodePage() {
    return std::make_unique<SingleByteCodePage>("windows-1252", windows1252Table());
}

std::unique_ptr<CodePage> codePageByName(std::string_view name) {
    static constexpr std::array<std::string_view, 3> utf8Names = {"utf8", "unicode11utf8",
                                                                  "cp65001"};
    static constexpr std::array<std::string_view, 4> windows1252Names = {"windows1252", "cp1252",
                                                                         "xcp1252", "1252"};
    static constexpr std::array<std::string_view, 9> latin1Names = {
        "iso88591", "iso885911987", "latin1", "l1",         "isoir100",
        "cp819",    "ibm819",       "88591",  "csisolatin1"};
    static constexpr std::array<std::string_view, 11> asciiNames = {
        "usascii", "ascii",  "ansix341968", "ansix341986", "iso646us", "us",
        "cp367",   "ibm367", "isoir6",      "646",         "csascii"};
    const std::string key = normalisedCharsetName(name);
    if (isOneOf(key, utf8Names)) {
        return makeUtf8CodePage();
    }
    if (isOneOf(key, windows1252Names)) {
        return makeWindows1252CodePage();
    }
    if (isOneOf(key, latin1Names)) {
        return std::make_unique<SingleByteCodePage>("ISO-8859-1", latin1Table(0x100));
    }
    if (isOneOf(key, asciiNames)) {
        return std::make_unique<SingleByteCodePage>("US-ASCII", latin1Table(0x80));
    }
    return osCodePageByName(name);
}

} // namespace quill::platform
