// Stands in for a browser: writes how it was asked to show its window and each argument it
// got, one a line in UTF-8, to the file named by QUILL_RECORD_FILE.

#include <cstdio>
#include <string>
#include <windows.h>

namespace {

std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

} // namespace

int wmain(int count, wchar_t** arguments) {
    wchar_t target[MAX_PATH]{};
    if (GetEnvironmentVariableW(L"QUILL_RECORD_FILE", target, MAX_PATH) == 0) {
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::string record = std::to_string(startup.wShowWindow) + "\n";
    for (int i = 1; i < count; ++i) {
        record += utf8(arguments[i]) + "\n";
    }
    // Written whole under another name, then renamed: a reader never sees half of it.
    const std::wstring partial = std::wstring(target) + L".part";
    FILE* file = _wfopen(partial.c_str(), L"wb");
    if (file == nullptr) {
        return 1;
    }
    std::fwrite(record.data(), 1, record.size(), file);
    std::fclose(file);
    return MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
