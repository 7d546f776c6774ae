#pragma once

#include <filesystem>
#include <system_error>

namespace quill::platform {

// Returns once what was written to the file, or to the folder's list of names, is on the disk.
std::error_code flushToDisk(const std::filesystem::path& fileOrFolder);

} // namespace quill::platform
