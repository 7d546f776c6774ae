#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quill::testing {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes bytes exactly as given.
    void write(const std::string& name, std::string_view bytes) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

} // namespace quill::testing
