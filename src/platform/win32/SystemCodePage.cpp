#include "platform/win32/WindowsCodePage.h"

#include <windows.h>

namespace quill::platform {

std::unique_ptr<CodePage> makeSystemCodePage() {
    const UINT number = GetACP();
    // Windows cannot take a default character for UTF-8; ours gives "?" the same way.
    if (number == CP_UTF8) {
        return makeUtf8CodePage();
    }
    return makeWindowsCodePage(number);
}

} // namespace quill::platform
