#pragma once

#include <chrono>
#include <functional>

namespace quill::testing {

// Looks again every few milliseconds until `done` holds or `timeout` passes.
bool eventually(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

} // namespace quill::testing
