#include "platform/Charsets.h"
#include "platform/win32/WindowsCodePage.h"

#include <windows.h>

namespace quill::platform {

std::unique_ptr<CodePage> osCodePageByName(std::string_view name) {
    const auto known = knownCharset(name);
    // A code page Windows lists but has not installed converts nothing.
    if (!known || !IsValidCodePage(known->windowsCodePage)) {
        return nullptr;
    }
    return makeWindowsCodePage(known->windowsCodePage);
}

} // namespace quill::platform
