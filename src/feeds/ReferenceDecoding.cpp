#include "feeds/ReferenceDecoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace quill::feeds {

namespace {

constexpr std::array<Replacement, 54> kSteps = {{
    {"\n", " "},      {"&lt;", "<"},          {"&gt;", ">"},      {"&#039;", "'"}, {"&amp;", "&"},
    {"&#039;", "'"},  {kRepIniStep, " "},     {"&#32", " "},      {"&#33;", "!"},  {"&#35;", "#"},
    {"&#36;", "$"},   {"&#37;", "%"},         {"&#38;", "&"},     {"&#39;", "'"},  {"&#40;", "("},
    {"&#41;", ")"},   {"&#42;", "*"},         {"&#43;", "+"},     {"&#44;", "`"},  {"&#45;", "-"},
    {"&#46;", "."},   {"&#47;", "/"},         {"&#58;", ":"},     {"&#59;", ";"},  {"&#60;", "<"},
    {"&#61;", "="},   {"&#62;", ">"},         {"&#63;", "?"},     {"&#032", " "},  {"&#033;", "!"},
    {"&#035;", "#"},  {"&#036;", "$"},        {"&#037;", "%"},    {"&#038;", "&"}, {"&#039;", "'"},
    {"&#040;", "("},  {"&#041;", ")"},        {"&#042;", "*"},    {"&#043;", "+"}, {"&#044;", "`"},
    {"&#045;", "-"},  {"&#046;", "."},        {"&#047;", "/"},    {"&#058;", ":"}, {"&#059;", ";"},
    {"&#060;", "<"},  {"&#061;", "="},        {"&#062;", ">"},    {"&#063;", "?"}, {"&#151;", "-"},
    {"&quot;", "\""}, {"&#169;", "\xC2\xA9"}, {"<![CDATA[", " "}, {"]]>", " "},
}};

// The few bytes after every "&" in the text, so that a reference step whose search text cannot
// occur is skipped without a scan. Replacing a reference removes windows but adds none, unless
// the replacement is one of the characters the references are made of.
class AmpersandWindows {
public:
    void rebuild(std::string_view text) {
        windows_.clear();
        for (std::size_t at = text.find('&'); at != std::string_view::npos;
             at = text.find('&', at + 1)) {
            windows_.push_back(pack(text.substr(at, kWidth)));
        }
        std::sort(windows_.begin(), windows_.end());
        windows_.erase(std::unique(windows_.begin(), windows_.end()), windows_.end());
    }

    bool mayContain(std::string_view search) const {
        if (search.size() > kWidth) {
            return true;
        }
        const std::uint64_t key = pack(search);
        const std::uint64_t mask = ~std::uint64_t{0} >> (8 * (sizeof key - search.size()));
        return std::any_of(windows_.begin(), windows_.end(),
                           [&](std::uint64_t window) { return (window & mask) == key; });
    }

    static bool mayAddWindows(std::string_view replacement) {
        return replacement == "&" || replacement == "#" || replacement == ";";
    }

private:
    static constexpr std::size_t kWidth = 8;

    static std::uint64_t pack(std::string_view bytes) {
        std::uint64_t packed = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            packed |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
        }
        return packed;
    }

    std::vector<std::uint64_t> windows_;
};

// Every occurrence, left to right, in one pass; the output is not searched again. True when
// anything was replaced.
bool replaceAll(std::string& text, const Replacement& step, std::string& scratch) {
    std::size_t found = text.find(step.search);
    if (found == std::string::npos) {
        return false;
    }
    scratch.clear();
    std::size_t copied = 0;
    while (found != std::string::npos) {
        scratch.append(text, copied, found - copied);
        scratch.append(step.replacement);
        copied = found + step.search.size();
        found = text.find(step.search, copied);
    }
    scratch.append(text, copied);
    text.swap(scratch);
    return true;
}

} // namespace

std::span<const Replacement> decodingSteps() {
    return kSteps;
}

void decodeReferences(std::string& text, std::optional<std::string_view> repIniCharacter) {
    std::string scratch;
    scratch.reserve(text.size());
    AmpersandWindows windows;
    bool windowsStale = true;
    for (Replacement step : kSteps) {
        if (step.search == kRepIniStep) {
            if (!repIniCharacter || repIniCharacter->empty()) {
                continue;
            }
            step.search = *repIniCharacter;
        }
        if (step.search.front() == '&') {
            if (windowsStale) {
                windows.rebuild(text);
                windowsStale = false;
            }
            if (!windows.mayContain(step.search)) {
                continue;
            }
        }
        if (replaceAll(text, step, scratch) && AmpersandWindows::mayAddWindows(step.replacement)) {
            windowsStale = true;
        }
    }
}

} // namespace quill::feeds
