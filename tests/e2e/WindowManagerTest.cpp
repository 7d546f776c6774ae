#include "support/WindowManager.h"

#include "support/Programs.h"
#include "support/XServer.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace quill::testing {
namespace {

// The processes whose parent is this test program.
std::vector<pid_t> children() {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        pid_t pid = 0, parent = 0;
        std::string name;
        char state = 0;
        // The name is in parentheses and could hold spaces; ours do not start such children.
        if (stat >> pid >> name >> state >> parent && parent == ::getpid()) {
            found.push_back(pid);
        }
    }
    return found;
}

TEST(WindowManagerTest, AnUnknownNameIsRefusedWithTheKnownOnes) {
    EXPECT_EQ(windowManagerNamed("").name, "openbox");
    EXPECT_EQ(windowManagerNamed("fluxbox").program(), "fluxbox");
    try {
        windowManagerNamed("twm");
        FAIL() << "twm was accepted";
    } catch (const std::invalid_argument& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("\"twm\""), std::string::npos) << message;
        for (const WindowManager& manager : knownWindowManagers()) {
            EXPECT_NE(message.find(manager.name), std::string::npos) << message;
        }
    }
}

// Each one must take over a bare Xvfb alone, and nothing it started (a session bus and what
// the bus started for it) may outlive the server.
TEST(WindowManagerTest, EveryInstalledOneManagesTheScreenAndEndsWithIt) {
    if (!onPath("Xvfb")) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    const std::vector<pid_t> before = children();
    int started = 0;
    for (const WindowManager& manager : knownWindowManagers()) {
        if (!onPath(manager.program())) {
            continue;
        }
        SCOPED_TRACE(manager.name);
        {
            std::unique_ptr<XServer> server;
            ASSERT_NO_THROW(server = std::make_unique<XServer>(manager));
            EXPECT_FALSE(server->rootProperty("_NET_SUPPORTING_WM_CHECK").empty());
            EXPECT_GT(children().size(), before.size());
        }
        EXPECT_EQ(children(), before);
        ++started;
    }
    EXPECT_GE(started, 1) << "not even openbox is installed";
}

} // namespace
} // namespace quill::testing
