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

// The height of a line of text at a pixel size, as the classic dialog face has it: 8.25 pt, an
// 11-px size, is a 13-px line (ascent 11, descent 2), and the forms are laid out for it. A face
// with a taller line is drawn at the largest size whose ascent and descent fit in it, so its
// descenders stay inside a control sized for that face.
constexpr int lineHeight(int pixelSize) {
    return (pixelSize * 13 + 5) / 11;
}

struct Font {
    std::string family; // empty: the backend's user-interface font
    int pixelSize = 11; // set explicitly so no font substitution decides the height
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

} // namespace quill::forms
