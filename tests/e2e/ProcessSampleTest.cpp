#include "support/ProcessSample.h"

#include "support/ChildProcess.h"

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quill::testing {
namespace {

TEST(ProcessSampleTest, CountsWhatThisProcessOpensAndStarts) {
    const auto before = sampleProcess(getpid());
    ASSERT_TRUE(before.has_value());
    EXPECT_GT(before->residentKb, 0);

    // A deleter type rather than fclose's pointer: newer compilers warn that the pointer's
    // attributes are lost in the template argument.
    struct Closer {
        void operator()(std::FILE* open) const { std::fclose(open); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen("/dev/null", "r"));
    std::mutex mutex;
    std::condition_variable released;
    bool done = false;
    std::thread waiting([&] {
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return done; });
    });
    // Touched pages count as resident; 8 MiB stand well above the test's own wandering.
    std::vector<char> block(8u << 20, 'x');
    // A tenth of a second on the processor, past the clock's tick of a hundredth.
    const std::clock_t busyFrom = std::clock();
    while (std::clock() - busyFrom < CLOCKS_PER_SEC / 10) {
    }
    const auto during = sampleProcess(getpid());
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    released.notify_one();
    waiting.join();

    ASSERT_TRUE(during.has_value());
    EXPECT_EQ(during->descriptors, before->descriptors + 1);
    EXPECT_EQ(during->threads, before->threads + 1);
    EXPECT_GE(during->residentKb - before->residentKb, 8 * 1024 - 512);
    EXPECT_GE(during->processorSeconds - before->processorSeconds, 0.08);
    EXPECT_EQ(block[block.size() / 2], 'x');
}

TEST(ProcessSampleTest, AProcessThatHasEndedGivesNothing) {
    pid_t pid = -1;
    {
        ChildProcess sleeper({"sleep", "30"}, {});
        pid = sleeper.pid();
        EXPECT_TRUE(sampleProcess(pid).has_value());
        sleeper.stop(SIGKILL);
    }
    EXPECT_FALSE(sampleProcess(pid).has_value());
}

} // namespace
} // namespace quill::testing
