#pragma once

#include "forms/Backend.h"
#include "forms/Style.h"
#include "forms/win32/Windows.h"

#include <map>
#include <string_view>
#include <tuple>

namespace quill::forms::win32 {

// The GDI fonts of the program's text, made once each. A font without a family is the desktop's
// dialog font at the size asked for.
class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    HFONT get(const Font& font);
    // The font of native controls: the dialog font at its own size.
    HFONT dialog() { return get(Font{}); }
    TextSize measure(const Font& font, std::string_view utf8);

    // Captions laid out for a narrower font than the desktop's shrink to fit their boxes rather
    // than being cut off; below this size they are shortened with an ellipsis instead.
    static constexpr int kSmallestFittedPixelSize = 8;
    struct Fit {
        Font font;
        bool wraps; // a box of two lines or more wraps at words
    };
    // The largest size, down to the smallest, at which the whole text shows in the box.
    Fit fit(const Font& font, std::wstring_view text, SIZE box);

private:
    LOGFONTW dialogFace_{};
    HDC measuring_; // a screen-compatible memory DC that keeps the last font selected
    std::map<std::tuple<std::string, int, bool, bool>, HFONT> fonts_;
};

} // namespace quill::forms::win32
