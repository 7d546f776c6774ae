#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quill::testing {

// A program started by a test and ended with it, by its PID.
class ChildProcess {
public:
    struct Options {
        std::filesystem::path workingDirectory;         // empty: the test's own
        std::map<std::string, std::string> environment; // added to or replacing the test's
        std::filesystem::path output = "/dev/null";     // stdout and stderr
    };

    ChildProcess(const std::vector<std::string>& args, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Ends it with `signal` and waits for it.
    void stop(int signal);

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

} // namespace quill::testing
