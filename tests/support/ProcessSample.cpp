#include "support/ProcessSample.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

namespace quill::testing {

namespace {

std::optional<long> statusField(const std::filesystem::path& status, const std::string& key) {
    std::ifstream in(status);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(key + ":")) {
            return std::stol(line.substr(key.size() + 1));
        }
    }
    return std::nullopt;
}

// The stat line's fields after the command name, which may itself hold blanks and parentheses.
std::optional<double> processorSeconds(const std::filesystem::path& stat) {
    std::ifstream in(stat);
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(nameEnd + 2));
    std::string field;
    // State is field 3 of the line, user and system time fields 14 and 15.
    for (int skipped = 3; skipped < 14; ++skipped) {
        fields >> field;
    }
    long user = 0, system = 0;
    if (!(fields >> user >> system)) {
        return std::nullopt;
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

std::optional<ProcessSample> sampleProcess(pid_t pid) {
    const std::filesystem::path proc = "/proc/" + std::to_string(pid);
    const auto resident = statusField(proc / "status", "VmRSS");
    const auto threads = statusField(proc / "status", "Threads");
    const auto seconds = processorSeconds(proc / "stat");
    std::error_code error;
    std::filesystem::directory_iterator descriptors(proc / "fd", error);
    if (!resident || !threads || !seconds || error) {
        return std::nullopt;
    }
    ProcessSample sample;
    sample.residentKb = *resident;
    sample.threads = static_cast<int>(*threads);
    sample.processorSeconds = *seconds;
    sample.descriptors = static_cast<int>(std::distance(descriptors, {}));
    return sample;
}

std::optional<double> processorNanoseconds(pid_t pid) {
    std::error_code error;
    std::filesystem::directory_iterator tasks("/proc/" + std::to_string(pid) + "/task", error);
    if (error) {
        return std::nullopt;
    }
    double total = 0;
    for (const auto& task : tasks) {
        std::ifstream in(task.path() / "schedstat");
        double onProcessor = 0;
        in >> onProcessor; // a thread that ended meanwhile counts nothing
        total += onProcessor;
    }
    return total;
}

} // namespace quill::testing
