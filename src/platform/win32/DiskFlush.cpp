#include "platform/DiskFlush.h"

#include <windows.h>

namespace quill::platform {

std::error_code flushToDisk(const std::filesystem::path& fileOrFolder) {
    // NTFS journals a folder's names itself; only a file's data waits in the cache.
    std::error_code error;
    if (std::filesystem::is_directory(fileOrFolder, error)) {
        return {};
    }
    const HANDLE file = CreateFileW(fileOrFolder.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {static_cast<int>(GetLastError()), std::system_category()};
    }
    if (!FlushFileBuffers(file)) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
    }
    CloseHandle(file);
    return error;
}

} // namespace quill::platform
