#include "platform/Charsets.h"
#include "platform/win32/WindowsCodePage.h"

#include <windows.h>

namespace quill::platform {

std::unique_ptr<CodePage> osCodePageByName(std::string_view name) {
    const auto known = knownCharset(name);
    if (!known) {
        return nullptr;
    }
    UINT number = known->windowsCodePage;
    // Wine has no GB18030 converter; GBK, the two-byte part of it, holds nearly all its text.
    if (number == 54936 && !IsValidCodePage(number)) {
        number = 936;
    }
    // A code page Windows lists but has not installed converts nothing.
    if (!IsValidCodePage(number)) {
        return nullptr;
    }
    return makeWindowsCodePage(number);
}

} // namespace quill::platform
