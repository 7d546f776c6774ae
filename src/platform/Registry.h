#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quill::platform {

inline constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001u;

// The default (unnamed) binary value of a key. Both calls report failure by their result.
class Registry {
public:
    virtual ~Registry() = default;
    // The value's bytes, or nothing when the key cannot be opened or has no such value.
    virtual std::optional<std::vector<std::uint8_t>> readDefaultValue(std::uint32_t root,
                                                                      const std::string& key) = 0;
    virtual bool writeDefaultValue(std::uint32_t root, const std::string& key,
                                   const std::vector<std::uint8_t>& bytes) = 0;
};

} // namespace quill::platform
