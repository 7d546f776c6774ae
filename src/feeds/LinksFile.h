#pragma once

#include "platform/CodePage.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quill::feeds {

inline constexpr const char* kLinksFileName = "links.ryx";
inline constexpr const char* kDefaultInterval = "20";
inline constexpr const char* kDefaultEdgeLine = "False";

struct LinksFile {
    enum class Problem { None, Missing, Unreadable, Short };
    // The file's lines; when it is missing, unreadable or short, the two settings lines it lacks
    // are filled with the defaults so every reader sees an interval and an edge.
    std::vector<std::string> lines;
    Problem problem = Problem::None;
    bool defaultInterval = false; // the interval line was filled in (the edge line then too)
};

// Lines end at CR, CR LF or LF; the last line may lack its end; each line is taken whole.
std::vector<std::string> splitLines(std::string_view text);

// The whole file, or nothing when it cannot be read (a folder of that name, no permission).
std::optional<std::string> readFileBytes(const std::filesystem::path& file);

// A settings file's bytes as UTF-8: through the code page, or as UTF-8 after a leading UTF-8
// byte-order mark, which is dropped.
std::string decodeSettingsBytes(std::string_view bytes, const platform::CodePage& codePage);

LinksFile readLinksFile(const std::filesystem::path& file, const platform::CodePage& codePage);

// The file system as writeLinesFile uses it, one step at a time; a test may watch or fail them.
class FileSteps {
public:
    virtual ~FileSteps() = default;
    // Creates or empties the file and writes the bytes into it.
    virtual std::error_code write(const std::filesystem::path& file, std::string_view bytes) const;
    virtual std::error_code flush(const std::filesystem::path& fileOrFolder) const;
    virtual std::error_code rename(const std::filesystem::path& from,
                                   const std::filesystem::path& to) const;
};

// Writes every line with CR LF into a temporary file beside `file`, flushes it to the disk and
// renames it over `file` (over its target when `file` is a symbolic link), so a failed write or a
// power cut leaves the old file or the new one whole. Returns why it failed, or no error.
// links.ryx is written this way, and so is any other file of the program's.
std::error_code writeLinesFile(const std::filesystem::path& file,
                               const std::vector<std::string>& lines,
                               const platform::CodePage& codePage,
                               const FileSteps& steps = FileSteps());

// The user's sentence for a file that could not be written.
std::string describeWriteFailure(const std::filesystem::path& file, std::error_code error);

// What to tell the user when the file could not be used as it is: the settings actually used
// in place of the missing lines and, for a missing file, the folder it was looked for in.
std::string describeLinksProblem(const LinksFile& read, const std::filesystem::path& file);

} // namespace quill::feeds
