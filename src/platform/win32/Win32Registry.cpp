#include "platform/win32/Win32Registry.h"

#include "platform/win32/Wide.h"

#include <windows.h>

namespace quill::platform::win32 {
namespace {

// The predefined keys are 32-bit values sign-extended to a handle.
HKEY rootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

} // namespace

std::optional<std::vector<std::uint8_t>> Win32Registry::readDefaultValue(std::uint32_t root,
                                                                         const std::string& key) {
    const std::wstring subKey = widen(key);
    std::vector<std::uint8_t> bytes;
    // The value can grow between asking for its size and reading it.
    for (;;) {
        auto size = static_cast<DWORD>(bytes.size());
        const LSTATUS status =
            RegGetValueW(rootKey(root), subKey.c_str(), nullptr, RRF_RT_REG_BINARY, nullptr,
                         bytes.empty() ? nullptr : bytes.data(), &size);
        if (status == ERROR_SUCCESS && (!bytes.empty() || size == 0)) {
            bytes.resize(size);
            return bytes;
        }
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        bytes.resize(size);
    }
}

bool Win32Registry::writeDefaultValue(std::uint32_t root, const std::string& key,
                                      const std::vector<std::uint8_t>& bytes) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(rootKey(root), widen(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status = RegSetValueExW(opened, nullptr, 0, REG_BINARY, bytes.data(),
                                          static_cast<DWORD>(bytes.size()));
    RegCloseKey(opened);
    return status == ERROR_SUCCESS;
}

} // namespace quill::platform::win32
