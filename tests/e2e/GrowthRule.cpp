#include "GrowthRule.h"

#include <algorithm>

namespace quill::testing {

namespace {

// The first load and the first reload fill caches that stay (fonts, glyphs, the resolver,
// the allocator's arenas): growth counts from the sample after the first reload.
constexpr std::size_t kWarmUp = 1;
// Between reloads resident memory wanders by tens of kilobytes (the allocator's free lists, the
// changing feed); half a megabyte is far above that and below what a run's leaked feed text
// adds up to over a few reloads.
constexpr long kMemoryNoiseKb = 512;

long median(std::vector<long> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

std::vector<std::string> growthBeyondNoise(const std::vector<ProcessSample>& samples,
                                           bool judgeMemory) {
    std::vector<std::string> findings;
    if (samples.size() <= kWarmUp + 1) {
        return findings;
    }
    const ProcessSample& settled = samples[kWarmUp];
    // Descriptors and threads are counted, not estimated: any rise after warm-up is a leak.
    for (std::size_t i = kWarmUp + 1; i < samples.size(); ++i) {
        if (samples[i].descriptors > settled.descriptors) {
            findings.push_back("open descriptors rose from " + std::to_string(settled.descriptors) +
                               " to " + std::to_string(samples[i].descriptors) + " by run " +
                               std::to_string(i));
            break;
        }
    }
    for (std::size_t i = kWarmUp + 1; i < samples.size(); ++i) {
        if (samples[i].threads > settled.threads) {
            findings.push_back("threads rose from " + std::to_string(settled.threads) + " to " +
                               std::to_string(samples[i].threads) + " by run " + std::to_string(i));
            break;
        }
    }
    if (judgeMemory) {
        // Medians of the first and last thirds after warm-up, so one run that happened to
        // leave more behind does not decide.
        std::vector<long> resident;
        for (std::size_t i = kWarmUp; i < samples.size(); ++i) {
            resident.push_back(samples[i].residentKb);
        }
        const auto third =
            static_cast<std::ptrdiff_t>(std::max<std::size_t>(1, resident.size() / 3));
        const long early = median({resident.begin(), resident.begin() + third});
        const long late = median({resident.end() - third, resident.end()});
        if (late - early > kMemoryNoiseKb) {
            findings.push_back("resident memory grew from " + std::to_string(early) + " kB to " +
                               std::to_string(late) + " kB");
        }
    }
    return findings;
}

} // namespace quill::testing
