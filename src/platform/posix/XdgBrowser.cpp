#include "platform/posix/XdgBrowser.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quill::platform {

namespace {

// Searched before forking: between fork and exec only async-signal-safe calls are sound in a
// program with threads, and execvp's own search is not one of them. Relative entries are
// skipped, so a file in the working folder never runs.
std::string findOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::filesystem::path folder(rest.substr(0, colon));
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        const auto candidate = folder / name;
        std::error_code error;
        if (folder.is_absolute() && std::filesystem::is_regular_file(candidate, error) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

} // namespace

void XdgBrowser::open(const std::string& url) {
    const std::string program = findOnPath("xdg-open");
    if (program.empty()) {
        return;
    }
    std::string name = "xdg-open", address = url;
    char* const argv[] = {name.data(), address.data(), nullptr};
    const pid_t middle = ::fork();
    if (middle == 0) {
        // The browser gets a session of its own and, once the middle process is gone, init
        // as its parent: it outlives the bar and is no child for it to reap.
        ::setsid();
        if (::fork() == 0) {
            ::execve(program.c_str(), argv, environ);
            ::_exit(127);
        }
        ::_exit(0);
    }
    if (middle > 0) {
        while (::waitpid(middle, nullptr, 0) == -1 && errno == EINTR) {
        }
    }
}

} // namespace quill::platform
