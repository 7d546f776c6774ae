#pragma once

#include "platform/Registry.h"

namespace quill::platform::win32 {

// The Windows registry through advapi32. Only REG_BINARY values count as values.
class Win32Registry : public Registry {
public:
    std::optional<std::vector<std::uint8_t>> readDefaultValue(std::uint32_t root,
                                                              const std::string& key) override;
    bool writeDefaultValue(std::uint32_t root, const std::string& key,
                           const std::vector<std::uint8_t>& bytes) override;
};

} // namespace quill::platform::win32
