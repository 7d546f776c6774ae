#pragma once

#include "forms/Backend.h"
#include "forms/Style.h"
#include "forms/win32/Windows.h"

#include <map>
#include <string_view>
#include <tuple>

namespace quill::forms::win32 {

// The primary screen's pixels per inch, as this process sees it.
int screenDpi();

// The GDI fonts of the program's text, made once each. A font's pixel size is in 96-dpi pixels,
// drawn at the screen's density. A font without a family is the classic dialog face, Microsoft
// Sans Serif, whose 8.25-point line the forms were laid out for; the desktop's message font
// (Segoe UI, Tahoma) has a taller line and would lose its descenders in the bar.
class Fonts {
public:
    explicit Fonts(int dpi = screenDpi());
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    HFONT get(const Font& font);
    // The font of native controls: the dialog face at its own size.
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
    HFONT make(LOGFONTW face, int pixelSize);
    int lineOf(HFONT font);

    int dpi_;
    HDC measuring_; // a screen-compatible memory DC that keeps the last font selected
    std::map<std::tuple<std::string, int, bool, bool>, HFONT> fonts_;
};

} // namespace quill::forms::win32
