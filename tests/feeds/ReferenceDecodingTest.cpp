#include "feeds/ReferenceDecoding.h"

#include <array>
#include <gtest/gtest.h>
#include <random>

namespace quill::feeds {
namespace {

std::string decodeStepByStep(std::string text, std::optional<std::string_view> repIni) {
    for (Replacement step : decodingSteps()) {
        if (step.search == kRepIniStep) {
            if (!repIni) {
                continue;
            }
            step.search = *repIni;
        }
        std::string out;
        std::size_t copied = 0;
        for (std::size_t at = text.find(step.search); at != std::string::npos;
             at = text.find(step.search, copied)) {
            out += text.substr(copied, at - copied);
            out += step.replacement;
            copied = at + step.search.size();
        }
        text = out + text.substr(copied);
    }
    return text;
}

// Skipping steps whose search text cannot occur must never change the result, however the
// references cascade into one another.
TEST(ReferenceDecoding, SkippingStepsKeepsTheStepByStepResult) {
    constexpr std::array<std::string_view, 16> pieces = {
        "&",     "#",     ";",      "39;",    "&#",    "&#0",   "35", "&#35;",
        "&#38;", "&#59;", "&#035;", "&#038;", "&amp;", "&quot", "<",  "![CDATA["};
    constexpr std::array<std::optional<std::string_view>, 4> repInis = {std::nullopt, "&", "#",
                                                                        "3"};
    std::mt19937 random(20240301);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int i = 0; i < 10; ++i) {
            text += pieces[pick(random)];
        }
        const auto repIni = repInis[round % repInis.size()];
        std::string decoded = text;
        decodeReferences(decoded, repIni);
        ASSERT_EQ(decoded, decodeStepByStep(text, repIni)) << "text " << text;
    }
}

} // namespace
} // namespace quill::feeds
