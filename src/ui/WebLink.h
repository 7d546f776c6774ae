#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::ui {

// The address to hand to the browser when `link` is an absolute http or https URL with a host,
// with any blanks and control characters around it set aside; nothing for anything else
// ("file:", "javascript:", an option-like "-x", relative text, control characters inside).
std::optional<std::string> webLink(std::string_view link);

} // namespace quill::ui
