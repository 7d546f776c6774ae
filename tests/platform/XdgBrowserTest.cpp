#include "platform/posix/XdgBrowser.h"

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

namespace quill::platform {
namespace {

namespace fs = std::filesystem;

// What the recording xdg-open saw.
struct Call {
    std::string session;           // its session id
    std::string mark;              // $QUILL_BROWSER_MARK
    std::vector<std::string> args; // the argument count, then the arguments
};

// A recording xdg-open first on PATH: it writes its session, one variable of its environment,
// its argument count and arguments, one a line, into a pipe the test reads.
class XdgBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quill-xdg-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "bin");
        fifo_ = dir_ / "calls";
        ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
        writeScript(dir_ / "bin" / "xdg-open",
                    "{ cut -d' ' -f6 /proc/$$/stat; printf '%s\\n' \"${QUILL_BROWSER_MARK-}\" "
                    "\"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; }");
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        ::setenv("PATH", ((dir_ / "bin").string() + ":" + oldPath_).c_str(), 1);
    }

    void TearDown() override {
        ::setenv("PATH", oldPath_.c_str(), 1);
        ::unsetenv("QUILL_BROWSER_MARK");
        fs::remove_all(dir_);
    }

    void writeScript(const fs::path& file, const std::string& body) {
        std::ofstream(file) << "#!/bin/sh\n" << body << " > '" << fifo_.string() << "'\n";
        fs::permissions(file, fs::perms::owner_all);
    }

    // What the fake received, once it has written it all (bounded by a time-out).
    Call received() {
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
        Call call;
        std::istringstream in(text);
        std::getline(in, call.session);
        std::getline(in, call.mark);
        for (std::string line; std::getline(in, line);) {
            call.args.push_back(line);
        }
        return call;
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
    EXPECT_EQ(received().args, (std::vector<std::string>{"1", url}));
}

TEST_F(XdgBrowserTest, BrowserRunsInASessionOfItsOwnWithTheProgramsEnvironment) {
    ::setenv("QUILL_BROWSER_MARK", "display=:7", 1);
    XdgBrowser().open("https://example.org/");
    const Call call = received();
    EXPECT_EQ(call.mark, "display=:7");
    ASSERT_FALSE(call.session.empty());
    EXPECT_NE(call.session, std::to_string(::getsid(0)));
}

TEST_F(XdgBrowserTest, SkipsTheWorkingFolderAndWhatCannotRun) {
    // A relative entry would name the working folder, where a stray xdg-open must not run.
    const fs::path work = dir_ / "work";
    fs::create_directories(work / "unrunnable");
    fs::create_directories(work / "folder" / "xdg-open");
    writeScript(work / "xdg-open", "echo wrong");
    std::ofstream(work / "unrunnable" / "xdg-open") << "#!/bin/sh\n";
    const fs::path oldWork = fs::current_path();
    fs::current_path(work);
    const std::string path = ":.:" + (work / "unrunnable").string() + ":" +
                             (work / "folder").string() + ":" + (dir_ / "bin").string() + ":" +
                             oldPath_;
    ::setenv("PATH", path.c_str(), 1);
    XdgBrowser().open("https://example.org/");
    const Call call = received();
    fs::current_path(oldWork);
    EXPECT_EQ(call.args, (std::vector<std::string>{"1", "https://example.org/"}));
}

} // namespace
} // namespace quill::platform
