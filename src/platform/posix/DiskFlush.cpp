#include "platform/DiskFlush.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quill::platform {

std::error_code flushToDisk(const std::filesystem::path& fileOrFolder) {
    // fsync reaches the file's data and the folder's entries through any descriptor of them.
    const int descriptor = ::open(fileOrFolder.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return {errno, std::generic_category()};
    }
    std::error_code error;
    if (::fsync(descriptor) != 0) {
        error.assign(errno, std::generic_category());
    }
    ::close(descriptor);
    return error;
}

} // namespace quill::platform
