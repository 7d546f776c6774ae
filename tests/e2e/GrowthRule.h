#pragma once

#include "support/ProcessSample.h"

#include <string>
#include <vector>

namespace quill::testing {

// Samples of one program taken after each refresh run, the first load's first.
// Returns what grew beyond noise, one line per finding; empty when nothing did.
// Memory is judged only when `judgeMemory`: a sanitizer's allocator keeps freed blocks on
// purpose.
std::vector<std::string> growthBeyondNoise(const std::vector<ProcessSample>& samples,
                                           bool judgeMemory);

} // namespace quill::testing
