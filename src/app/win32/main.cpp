// Quillmark on Windows: plain Win32 windows, the shell's app bar, WinINet for the feeds.

#include "forms/Application.h"
#include "forms/win32/Win32Backend.h"
#include "platform/CodePage.h"
#include "platform/win32/ShellBrowser.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WinInetHttp.h"
#include "ticker/Form1.h"
#include "ticker/Services.h"

#include <cstdlib>
#include <filesystem>
#include <windows.h>

int main() {
    // From here on, libraries loaded by name, the delay-loaded imports among them, come from
    // System32 only, never from the program's folder or the current directory.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    quill::forms::win32::Win32Backend backend;
    quill::platform::win32::Win32Desktop desktop;
    quill::forms::Application application(backend, desktop);
    backend.attach(application);

    quill::platform::win32::WinInetHttp http;
    quill::platform::win32::ShellBrowser browser;
    quill::platform::win32::Win32Registry registry;
    const auto codePage = quill::platform::makeSystemCodePage();
    // The bar's close box ends the process at once: no destructor or clean-up runs.
    quill::Services services{application,
                             http,
                             browser,
                             registry,
                             *codePage,
                             std::filesystem::current_path(),
                             [](int code) { std::_Exit(code); }};

    quill::ticker::Form1 bar(services);
    bar.Form_Load();
    return backend.run();
}
