#include "feeds/LinksFile.h"

#include <fstream>
#include <optional>
#include <system_error>

namespace quill::feeds {

namespace {

// The whole file, or nothing when it cannot be read (a folder of that name, no permission).
std::optional<std::string> readBytes(const std::filesystem::path& file) {
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

} // namespace

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
        const std::optional<std::string> bytes = readBytes(file);
        if (!bytes) {
            result.problem = LinksFile::Problem::Unreadable;
        } else {
            result.lines = splitLines(codePage.toUtf8(*bytes));
            if (result.lines.size() < 2) {
                result.problem = LinksFile::Problem::Short;
            }
        }
    }
    if (result.lines.empty()) {
        result.lines.emplace_back(kDefaultInterval);
    }
    if (result.lines.size() < 2) {
        result.lines.emplace_back(kDefaultEdgeLine);
    }
    return result;
}

bool writeLinksFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                    const platform::CodePage& codePage) {
    std::filesystem::path temporary = file;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        for (const std::string& line : lines) {
            out << codePage.fromUtf8(line) << "\r\n";
        }
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

std::string describeLinksProblem(LinksFile::Problem problem, const std::filesystem::path& file) {
    const std::string defaults =
        " Quillmark starts with its defaults: news reloaded every 20 minutes, the bar at the "
        "bottom of the screen and no feeds. Add feeds under Options.";
    switch (problem) {
    case LinksFile::Problem::Missing:
        return "The settings file " + file.string() + " was not found." + defaults;
    case LinksFile::Problem::Unreadable:
        return "The settings file " + file.string() + " could not be read." + defaults;
    case LinksFile::Problem::Short:
        return "The settings file " + file.string() +
               " lacks the reload interval or the screen edge line. The missing settings take "
               "their defaults: news reloaded every 20 minutes, the bar at the bottom of the "
               "screen.";
    case LinksFile::Problem::None:
        break;
    }
    return {};
}

} // namespace quill::feeds
