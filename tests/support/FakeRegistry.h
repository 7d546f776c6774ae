#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quill::testing {

// Default values of registry keys in memory; writes can be made to fail.
class FakeRegistry : public platform::Registry {
public:
    using Key = std::pair<std::uint32_t, std::string>;

    std::optional<std::vector<std::uint8_t>> readDefaultValue(std::uint32_t root,
                                                              const std::string& key) override {
        const auto found = values.find({root, key});
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }

    bool writeDefaultValue(std::uint32_t root, const std::string& key,
                           const std::vector<std::uint8_t>& bytes) override {
        if (failWrites) {
            return false;
        }
        values[{root, key}] = bytes;
        return true;
    }

    std::map<Key, std::vector<std::uint8_t>> values;
    bool failWrites = false;
};

} // namespace quill::testing
