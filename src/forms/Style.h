#pragma once

#include <cstdint>
#include <string>

namespace quill::forms {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kButtonFace{240, 240, 240};
inline constexpr Color kWindowText{0, 0, 0};

struct Font {
    std::string family; // empty: the backend's user-interface font
    int pixelSize = 11; // set explicitly so no font substitution decides the height
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

} // namespace quill::forms
