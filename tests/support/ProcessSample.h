#pragma once

#include <optional>
#include <sys/types.h>

namespace quill::testing {

// What a running process holds at one moment, as /proc shows it.
struct ProcessSample {
    long residentKb = 0;
    int descriptors = 0;
    int threads = 0;
    double processorSeconds = 0; // user and system time since it started
};

// Nothing when the process is gone.
std::optional<ProcessSample> sampleProcess(pid_t pid);
// Time its threads have spent on a processor, in nanoseconds and exact (the scheduler's own
// count), where processorSeconds counts whole clock ticks; nothing when it is gone.
std::optional<double> processorNanoseconds(pid_t pid);

} // namespace quill::testing
