#include "forms/win32/Fonts.h"

#include "platform/win32/Wide.h"

#include <algorithm>

namespace quill::forms::win32 {

Fonts::Fonts() : measuring_(CreateCompatibleDC(nullptr)) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        dialogFace_ = metrics.lfMessageFont;
    } else {
        lstrcpynW(dialogFace_.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    }
}

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
    LOGFONTW face = dialogFace_;
    if (!font.family.empty()) {
        const std::wstring family = platform::win32::widen(font.family);
        lstrcpynW(face.lfFaceName, family.c_str(), LF_FACESIZE);
    }
    // Negative: the character height, as the pixel sizes of the forms mean it.
    face.lfHeight = -std::max(1, font.pixelSize);
    face.lfWidth = 0;
    face.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    face.lfUnderline = font.underline ? TRUE : FALSE;
    face.lfItalic = FALSE;
    HFONT made = CreateFontIndirectW(&face);
    fonts_.emplace(key, made);
    return made;
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
