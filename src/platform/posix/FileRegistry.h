#pragma once

#include "platform/Registry.h"

#include <filesystem>
#include <optional>

namespace quill::platform {

// Registry values as files, one a key, in a folder of the user's configuration directory.
class FileRegistry : public Registry {
public:
    // The "quillmark" folder under $XDG_CONFIG_HOME, else under $HOME/.config.
    FileRegistry();
    explicit FileRegistry(std::filesystem::path folder);

    std::optional<std::vector<std::uint8_t>> readDefaultValue(std::uint32_t root,
                                                              const std::string& key) override;
    bool writeDefaultValue(std::uint32_t root, const std::string& key,
                           const std::vector<std::uint8_t>& bytes) override;

    // Where a key's value lives; nothing when no configuration directory is known.
    std::optional<std::filesystem::path> fileFor(std::uint32_t root, const std::string& key) const;

private:
    std::optional<std::filesystem::path> folder_;
};

} // namespace quill::platform
