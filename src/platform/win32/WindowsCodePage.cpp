#include "platform/win32/WindowsCodePage.h"

#include "platform/Utf8.h"
#include "platform/win32/Wide.h"

#include <windows.h>

namespace quill::platform {
namespace {

// A code page of Windows, converted by Windows itself.
class WindowsCodePage final : public CodePage {
public:
    explicit WindowsCodePage(UINT number) : number_(number) {}

    std::string name() const override { return "windows-" + std::to_string(number_); }

    std::string toUtf8(std::string_view bytes) const override {
        if (bytes.empty()) {
            return {};
        }
        const int size = static_cast<int>(bytes.size());
        const int length = MultiByteToWideChar(number_, 0, bytes.data(), size, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(number_, 0, bytes.data(), size, wide.data(), length);
        return win32::narrow(wide);
    }

    std::string fromUtf8(std::string_view text) const override {
        // Built by hand so that an ill-formed sequence or a character beyond the 16-bit plane
        // (two UTF-16 units) is one "?", as in every other code page here.
        std::wstring wide;
        wide.reserve(text.size());
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = utf8::decodeNext(text, pos);
            wide.push_back(c == utf8::kInvalid || c > 0xFFFF ? L'?' : static_cast<wchar_t>(c));
        }
        if (wide.empty()) {
            return {};
        }
        const int size = static_cast<int>(wide.size());
        // No best fit: "?" rather than a look-alike that means something else.
        const int length = WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                               nullptr, 0, "?", nullptr);
        std::string bytes(static_cast<std::size_t>(length), '\0');
        WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length,
                            "?", nullptr);
        return bytes;
    }

private:
    UINT number_;
};

} // namespace

std::unique_ptr<CodePage> makeWindowsCodePage(unsigned number) {
    return std::make_unique<WindowsCodePage>(number);
}

} // namespace quill::platform
