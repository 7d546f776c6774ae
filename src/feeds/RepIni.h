#pragma once

#include "platform/CodePage.h"

#include <filesystem>
#include <optional>
#include <string>

namespace quill::feeds {

// The first character of rep.ini as UTF-8, read as decodeSettingsBytes reads; nothing when the
// file is missing, unreadable or empty.
std::optional<std::string> readRepIniFirstChar(const std::filesystem::path& path,
                                               const platform::CodePage& codePage);

} // namespace quill::feeds
