#include "GrowthRule.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

// Samples with this resident memory, the same descriptors and threads throughout.
std::vector<ProcessSample> resident(const std::vector<long>& kb) {
    std::vector<ProcessSample> samples;
    for (const long value : kb) {
        samples.push_back({value, 30, 6, 1.0});
    }
    return samples;
}

TEST(GrowthRuleTest, WarmUpAndNoiseAreNotGrowth) {
    // The first load's sample is far below the rest; later ones wander up and down.
    EXPECT_TRUE(
        growthBeyondNoise(resident({40000, 52000, 52600, 52100, 52900, 52300, 52500, 52200}), true)
            .empty());
    // Too few samples to judge.
    EXPECT_TRUE(growthBeyondNoise(resident({40000, 90000}), true).empty());
}

TEST(GrowthRuleTest, SteadyGrowthFailsAndOneHighSampleDoesNot) {
    std::vector<long> leaking;
    for (long run = 0; run < 30; ++run) {
        leaking.push_back(50000 + run * 100);
    }
    const auto findings = growthBeyondNoise(resident(leaking), true);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_NE(findings[0].find("resident memory"), std::string::npos);
    // The same series with its memory left unjudged, as under a sanitizer.
    EXPECT_TRUE(growthBeyondNoise(resident(leaking), false).empty());

    std::vector<long> oneSpike(30, 50000);
    oneSpike.back() = 60000;
    EXPECT_TRUE(growthBeyondNoise(resident(oneSpike), true).empty());
}

TEST(GrowthRuleTest, ADescriptorOrThreadMoreAfterWarmUpFails) {
    auto samples = resident({50000, 50000, 50000, 50000});
    samples[0].descriptors = 20; // still warming up
    EXPECT_TRUE(growthBeyondNoise(samples, true).empty());
    samples[3].descriptors = 31;
    samples[2].threads = 7;
    const auto findings = growthBeyondNoise(samples, false);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_NE(findings[0].find("descriptors rose from 30 to 31"), std::string::npos);
    EXPECT_NE(findings[1].find("threads rose from 6 to 7"), std::string::npos);
}

} // namespace
} // namespace quill::testing
