#include "platform/posix/FileRegistry.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace quill::platform {

namespace {

std::optional<std::filesystem::path> configFolder() {
    // Relative values are invalid by the XDG rules and are ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        return std::filesystem::path(config) / "quillmark";
    }
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        return std::filesystem::path(home) / ".config" / "quillmark";
    }
    return std::nullopt;
}

bool isPlain(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

// Key separators become "_"; anything else that is not plain (an "_" of the key too) becomes
// "%XX", so different keys never share a file and no name leaves the folder.
std::string fileNameFor(std::uint32_t root, const std::string& key) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    if (root != HKEY_CURRENT_USER) {
        name += '@';
        for (int shift = 28; shift >= 0; shift -= 4) {
            name += kHex[(root >> shift) & 0xFu];
        }
        name += '@';
    }
    for (const char ch : key) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            name += '_';
        } else if (isPlain(c)) {
            name += ch;
        } else {
            name += '%';
            name += kHex[c >> 4];
            name += kHex[c & 0xFu];
        }
    }
    return name + ".bin";
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

FileRegistry::FileRegistry() : folder_(configFolder()) {}

FileRegistry::FileRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::optional<std::filesystem::path> FileRegistry::fileFor(std::uint32_t root,
                                                           const std::string& key) const {
    if (!folder_) {
        return std::nullopt;
    }
    return *folder_ / fileNameFor(root, key);
}

std::optional<std::vector<std::uint8_t>> FileRegistry::readDefaultValue(std::uint32_t root,
                                                                        const std::string& key) {
    const auto file = fileFor(root, key);
    if (!file) {
        return std::nullopt;
    }
    std::ifstream in(*file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

bool FileRegistry::writeDefaultValue(std::uint32_t root, const std::string& key,
                                     const std::vector<std::uint8_t>& bytes) {
    const auto file = fileFor(root, key);
    if (!file) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(file->parent_path(), error);
    if (error) {
        return false;
    }
    // A whole new file replaces the old one in one step, so a failed write leaves it intact.
    std::filesystem::path temporary = *file;
    temporary += ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), file->c_str()) != 0) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace quill::platform
