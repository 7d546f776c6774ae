#include "platform/win32/ShellBrowser.h"

#include "platform/win32/Wide.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace quill::platform::win32 {

namespace {

// The handler's command line takes the address in quotes: a quote or white space inside it
// would end the argument there. No valid address has them raw, so they go percent-encoded.
std::string asOneArgument(const std::string& url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '"') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

void ShellBrowser::open(const std::string& url) {
    // Some protocol handlers are COM objects; the shell asks its callers to initialise COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, L"open", widen(asOneArgument(url)).c_str(), nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

} // namespace quill::platform::win32
