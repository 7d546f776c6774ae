#include "ui/BareAmpersands.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quill::ui {

namespace {

// Sees the document as ASCII units; a unit outside ASCII reads as 0x80.
class Units {
public:
    explicit Units(std::string_view document) : bytes_(document) {
        const auto starts = [&](std::string_view prefix) { return document.starts_with(prefix); };
        using namespace std::string_view_literals;
        if (starts("\xFF\xFE"sv) || starts("<\0"sv)) {
            width_ = 2;
        } else if (starts("\xFE\xFF"sv) || starts("\0<"sv)) {
            width_ = 2;
            bigEndian_ = true;
        }
    }
    std::size_t width() const { return width_; }
    unsigned at(std::size_t offset) const {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes_[i]); };
        if (width_ == 1) {
            return std::min<unsigned>(byte(offset), 0x80);
        }
        const unsigned high = byte(offset + (bigEndian_ ? 0 : 1));
        const unsigned low = byte(offset + (bigEndian_ ? 1 : 0));
        return high != 0 ? 0x80 : std::min(low, 0x80u);
    }
    void append(std::string& out, std::string_view ascii) const {
        for (const char c : ascii) {
            if (width_ == 2 && bigEndian_) {
                out += '\0';
            }
            out += c;
            if (width_ == 2 && !bigEndian_) {
                out += '\0';
            }
        }
    }

private:
    std::string_view bytes_;
    std::size_t width_ = 1;
    bool bigEndian_ = false;
};

bool isReference(std::string_view name) {
    constexpr std::array<std::string_view, 5> kPredefined{"amp", "lt", "gt", "quot", "apos"};
    if (std::find(kPredefined.begin(), kPredefined.end(), name) != kPredefined.end()) {
        return true;
    }
    if (!name.starts_with('#')) {
        return false;
    }
    const bool hex = name.starts_with("#x");
    const std::string_view digits = name.substr(hex ? 2 : 1);
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](char c) {
        return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                   : std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

} // namespace

std::string escapeBareAmpersands(std::string_view document) {
    const Units units(document);
    const std::size_t width = units.width();
    constexpr std::size_t kLongestName = 10;
    std::string out;
    out.reserve(document.size());
    std::size_t offset = 0;
    for (; offset + width <= document.size(); offset += width) {
        out.append(document.substr(offset, width));
        if (units.at(offset) != '&') {
            continue;
        }
        std::string name;
        bool referenced = false;
        for (std::size_t next = offset + width;
             next + width <= document.size() && name.size() <= kLongestName; next += width) {
            const unsigned unit = units.at(next);
            if (unit == ';') {
                referenced = isReference(name);
                break;
            }
            name += static_cast<char>(unit);
        }
        if (!referenced) {
            units.append(out, "amp;");
        }
    }
    out.append(document.substr(offset));
    return out;
}

} // namespace quill::ui
