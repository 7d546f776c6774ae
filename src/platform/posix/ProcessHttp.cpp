#include "platform/posix/ProcessHttp.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quill::platform {

namespace {

using Clock = std::chrono::steady_clock;

// The helper bounds its own download; this only catches a helper that hangs past it.
constexpr std::chrono::milliseconds kGrace{2000};
// The Content-Type line before the body.
constexpr std::size_t kLongestHeader = 4096;

class Pipe {
public:
    Pipe() {
        if (::pipe2(ends_, O_CLOEXEC) != 0) {
            ends_[0] = ends_[1] = -1;
        }
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool ok() const { return ends_[0] >= 0; }
    int readEnd() const { return ends_[0]; }
    int writeEnd() const { return ends_[1]; }
    void closeEnd(int end) {
        if (ends_[end] >= 0) {
            ::close(ends_[end]);
            ends_[end] = -1;
        }
    }

private:
    int ends_[2];
};

pid_t spawn(const std::filesystem::path& helper, const std::string& url, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    // No shell: the address is one argument, whatever characters it holds.
    std::string program = helper.string();
    std::string address = url;
    char* argv[] = {program.data(), address.data(), nullptr};
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "quillmark: cannot run %s: %s\n", program.c_str(),
                     std::strerror(error));
        return -1;
    }
    return pid;
}

// Reads until the helper closes its output, `limit` bytes have come or `deadline` passes;
// true when the output ended by itself.
bool readAll(int from, std::string& into, std::size_t limit, Clock::time_point deadline) {
    char buffer[65536];
    while (into.size() < limit) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd ready{from, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return false;
        }
        const ssize_t got = ::read(from, buffer, std::min(sizeof buffer, limit - into.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        into.append(buffer, static_cast<std::size_t>(got));
    }
    return false;
}

void reap(pid_t pid, bool end) {
    if (end) {
        ::kill(pid, SIGKILL);
    }
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

ProcessHttp::ProcessHttp(std::filesystem::path helper, HttpLimits limits)
    : helper_(std::move(helper)), limits_(limits) {}

HttpResponse ProcessHttp::get(const std::string& url) {
    Pipe pipe;
    if (!pipe.ok()) {
        return {};
    }
    const pid_t pid = spawn(helper_, url, pipe.writeEnd());
    pipe.closeEnd(1); // the helper holds the only writer now: its end is our end of file
    if (pid < 0) {
        return {};
    }
    std::string output;
    const bool ended = readAll(pipe.readEnd(), output, kLongestHeader + limits_.maxBodyBytes,
                               Clock::now() + limits_.wholeDownloadTime + kGrace);
    reap(pid, !ended);
    HttpResponse response;
    const auto lineEnd = output.find('\n');
    if (lineEnd == std::string::npos || lineEnd > kLongestHeader) {
        return response;
    }
    response.contentType = output.substr(0, lineEnd);
    // In place: the body may be tens of megabytes.
    output.erase(0, lineEnd + 1);
    output.resize(std::min(output.size(), limits_.maxBodyBytes));
    response.body = std::move(output);
    return response;
}

} // namespace quill::platform
