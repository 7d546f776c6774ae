#pragma once

#include "forms/Backend.h"
#include "forms/win32/Windows.h"

namespace quill::forms::win32 {

// Both run their own modal loop and return when the user has chosen or closed them.
std::optional<std::size_t> trackMenu(HWND owner, POINT at, const std::vector<MenuItem>& items);
std::optional<std::filesystem::path> runFileDialog(HWND owner, const FileChoice& choice);

} // namespace quill::forms::win32
