#pragma once

#include <string>

namespace quill::testing {

// An executable of that name is in a folder on PATH.
bool onPath(const std::string& program);

} // namespace quill::testing
