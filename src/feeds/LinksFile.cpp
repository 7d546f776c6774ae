#include "feeds/LinksFile.h"

#include "platform/DiskFlush.h"
#include "platform/Utf8.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <system_error>

namespace quill::feeds {

namespace {

// The file a chain of symbolic links ends at (a dangling link's target included).
std::filesystem::path followLinks(std::filesystem::path file, std::error_code& error) {
    constexpr int kMaxHops = 40; // as the kernel's own limit on nested links
    for (int hop = 0; hop < kMaxHops; ++hop) {
        if (!std::filesystem::is_symlink(file, error)) {
            error.clear(); // a file that does not exist yet is no link
            return file;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error) {
            return {};
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

// The stream library keeps no reason of its own; errno still holds the system's.
std::error_code lastError(std::errc fallback) {
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(fallback);
}

// A path as the user reads it in a message, in UTF-8 on every system.
std::string shown(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace

std::optional<std::string> readFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

std::string decodeSettingsBytes(std::string_view bytes, const platform::CodePage& codePage) {
    // Notepad's "UTF-8 with BOM" and PowerShell 5 put one there; read through a single-byte
    // code page it would spoil the first line, the reload interval.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark)) {
        return platform::utf8::sanitize(bytes.substr(kByteOrderMark.size()));
    }
    return codePage.toUtf8(bytes);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

LinksFile readLinksFile(const std::filesystem::path& file, const platform::CodePage& codePage) {
    LinksFile result;
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        result.problem = LinksFile::Problem::Missing;
    } else {
        const std::optional<std::string> bytes = readFileBytes(file);
        if (!bytes) {
            result.problem = LinksFile::Problem::Unreadable;
        } else {
            result.lines = splitLines(decodeSettingsBytes(*bytes, codePage));
            if (result.lines.size() < 2) {
                result.problem = LinksFile::Problem::Short;
            }
        }
    }
    if (result.lines.empty()) {
        result.lines.emplace_back(kDefaultInterval);
        result.defaultInterval = true;
    }
    if (result.lines.size() < 2) {
        result.lines.emplace_back(kDefaultEdgeLine);
    }
    return result;
}

std::error_code FileSteps::write(const std::filesystem::path& file, std::string_view bytes) const {
    errno = 0;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        return lastError(std::errc::permission_denied);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out ? std::error_code() : lastError(std::errc::io_error);
}

std::error_code FileSteps::flush(const std::filesystem::path& fileOrFolder) const {
    return platform::flushToDisk(fileOrFolder);
}

std::error_code FileSteps::rename(const std::filesystem::path& from,
                                  const std::filesystem::path& to) const {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error;
}

std::error_code writeLinesFile(const std::filesystem::path& file,
                               const std::vector<std::string>& lines,
                               const platform::CodePage& codePage, const FileSteps& steps) {
    // Dotfile managers keep the file as a link into their repository: the link stays and its
    // target gets the new settings.
    std::error_code error;
    const std::filesystem::path target = followLinks(file, error);
    if (error) {
        return error;
    }
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += codePage.fromUtf8(line) + "\r\n";
    }
    std::filesystem::path temporary = target;
    temporary += ".new";
    // On the disk before the rename: ext4 and others may otherwise commit the new name before
    // the data, and a power cut leaves an empty file.
    error = steps.write(temporary, bytes);
    if (!error) {
        error = steps.flush(temporary);
    }
    if (!error) {
        error = steps.rename(temporary, target);
    }
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return error;
    }
    // The rename lasts once the folder's names are on the disk. Some file systems cannot flush a
    // folder; the file is whole under one name or the other either way.
    const std::filesystem::path folder = target.parent_path();
    steps.flush(folder.empty() ? std::filesystem::path(".") : folder);
    return {};
}

std::string describeWriteFailure(const std::filesystem::path& file, std::error_code error) {
    return shown(file) + " could not be written (" + error.message() + ").";
}

std::string describeLinksProblem(const LinksFile& read, const std::filesystem::path& file) {
    const std::string interval =
        std::string("news reloaded every ") + kDefaultInterval + " minutes";
    const std::string edge = "the bar at the bottom of the screen";
    const std::string defaults = " Quillmark starts with its defaults: " + interval + ", " + edge +
                                 " and no feeds. Add feeds under Options.";
    switch (read.problem) {
    case LinksFile::Problem::Missing:
        // Started from elsewhere (a Run key starts programs in the system folder), the user
        // sees where it looked and why there.
        return "The settings file " + shown(file.filename()) + " was not found." + defaults +
               "\n\nQuillmark reads its settings from the folder it is started in:\n" +
               shown(file.parent_path());
    case LinksFile::Problem::Unreadable:
        return "The settings file " + shown(file) + " could not be read." + defaults;
    case LinksFile::Problem::Short:
        if (read.defaultInterval) {
            return "The settings file " + shown(file) +
                   " lacks the reload interval and the screen edge line. Quillmark uses " +
                   interval + " and " + edge + ".";
        }
        return "The settings file " + shown(file) + " lacks the screen edge line. Quillmark " +
               "puts " + edge + ".";
    case LinksFile::Problem::None:
        break;
    }
    return {};
}

} // namespace quill::feeds
