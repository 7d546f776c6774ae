#include "platform/x11/XdgBrowser.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quill::platform::x11 {
namespace {

namespace fs = std::filesystem;

// A recording xdg-open first on PATH: it writes its argument count and arguments, one a line,
// into a pipe the test reads.
class XdgBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quill-xdg-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        fifo_ = dir_ / "calls";
        ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
        const fs::path script = dir_ / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\n"
                              << "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\n' "
                                 "\"$a\"; done; } > '"
                              << fifo_.string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        ::setenv("PATH", (dir_.string() + ":" + oldPath_).c_str(), 1);
    }

    void TearDown() override {
        ::setenv("PATH", oldPath_.c_str(), 1);
        fs::remove_all(dir_);
    }

    // What the fake received, once it has written it all (bounded by a time-out).
    std::vector<std::string> received() {
        const int fd = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
        EXPECT_NE(fd, -1);
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                break; // the writer closed: everything is in
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // Processes started from a file of that name whose parent is this test.
    static int childrenNamed(const std::string& name) {
        int count = 0;
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            if (!std::getline(stat, line)) {
                continue;
            }
            const auto open = line.find('('), close = line.rfind(')');
            if (open == std::string::npos || close == std::string::npos) {
                continue;
            }
            std::istringstream rest(line.substr(close + 2));
            char state = 0;
            int parent = 0;
            rest >> state >> parent;
            if (parent == ::getpid() && line.substr(open + 1, close - open - 1) == name) {
                ++count;
            }
        }
        return count;
    }

    fs::path dir_, fifo_;
    std::string oldPath_;
};

TEST_F(XdgBrowserTest, AddressIsOneArgumentUntouchedByAShell) {
    const std::string url = "http://127.0.0.1/a b;echo c$(id)&d='e'|f";
    XdgBrowser().open(url);
    // Detached: the browser is not a child left for this process to reap.
    EXPECT_EQ(childrenNamed("xdg-open"), 0);
    EXPECT_EQ(received(), (std::vector<std::string>{"1", url}));
}

} // namespace
} // namespace quill::platform::x11
