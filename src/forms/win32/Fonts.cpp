#include "forms/win32/Fonts.h"

#include "platform/win32/Wide.h"

#include <algorithm>

namespace quill::forms::win32 {

namespace {

constexpr int kDesignDpi = 96;

} // namespace

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

Fonts::Fonts(int dpi) : dpi_(dpi), measuring_(CreateCompatibleDC(nullptr)) {}

Fonts::~Fonts() {
    DeleteDC(measuring_);
    for (const auto& [key, font] : fonts_) {
        DeleteObject(font);
    }
}

HFONT Fonts::get(const Font& font) {
    const auto key = std::make_tuple(font.family, font.pixelSize, font.bold, font.underline);
    if (const auto found = fonts_.find(key); found != fonts_.end()) {
        return found->second;
    }
    LOGFONTW face{};
    face.lfCharSet = DEFAULT_CHARSET;
    const std::wstring family =
        font.family.empty() ? L"Microsoft Sans Serif" : platform::win32::widen(font.family);
    lstrcpynW(face.lfFaceName, family.c_str(), LF_FACESIZE);
    face.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    face.lfUnderline = font.underline ? TRUE : FALSE;
    HFONT made = make(face, std::max(1, font.pixelSize));
    fonts_.emplace(key, made);
    return made;
}

// The size asked for at the screen's density, or the largest smaller one whose line fits the
// line the forms were laid out for, so no face's descenders fall outside its control.
HFONT Fonts::make(LOGFONTW face, int pixelSize) {
    const int line = lineHeight(pixelSize) * dpi_ / kDesignDpi;
    for (int size = MulDiv(pixelSize, dpi_, kDesignDpi);; --size) {
        // Negative: the character height, as the pixel sizes of the forms mean it.
        face.lfHeight = -size;
        HFONT made = CreateFontIndirectW(&face);
        if (size <= 1 || lineOf(made) <= line) {
            return made;
        }
        DeleteObject(made);
    }
}

int Fonts::lineOf(HFONT font) {
    const HGDIOBJ old = SelectObject(measuring_, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(measuring_, &metrics);
    SelectObject(measuring_, old);
    return metrics.tmHeight;
}

TextSize Fonts::measure(const Font& font, std::string_view utf8) {
    SelectObject(measuring_, get(font));
    const std::wstring text = platform::win32::widen(utf8);
    SIZE size{};
    GetTextExtentPoint32W(measuring_, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(measuring_, &metrics);
    // An empty caption still takes a line's height, as the label's text would.
    return {size.cx, std::max<int>(size.cy, metrics.tmHeight)};
}

Fonts::Fit Fonts::fit(const Font& font, std::wstring_view text, SIZE box) {
    Font tried = font;
    SelectObject(measuring_, get(tried));
    TEXTMETRICW metrics{};
    GetTextMetricsW(measuring_, &metrics);
    // A box of one line never wraps: the second line would not show.
    const bool wraps = box.cy >= 2 * metrics.tmHeight;
    const auto fits = [&] {
        SelectObject(measuring_, get(tried));
        RECT needed{0, 0, box.cx, 0};
        DrawTextW(measuring_, text.data(), static_cast<int>(text.size()), &needed,
                  DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        return needed.right <= box.cx && needed.bottom <= box.cy;
    };
    while (tried.pixelSize > kSmallestFittedPixelSize && !fits()) {
        --tried.pixelSize;
    }
    return {tried, wraps};
}

} // namespace quill::forms::win32
