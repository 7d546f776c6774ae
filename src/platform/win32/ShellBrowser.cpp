#include "platform/win32/ShellBrowser.h"

#include "platform/win32/Wide.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace quill::platform::win32 {

void ShellBrowser::open(const std::string& url) {
    // Some protocol handlers are COM objects; the shell asks its callers to initialise COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, L"open", widen(url).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

} // namespace quill::platform::win32
