#pragma once

#include <string>
#include <string_view>

namespace quill::platform::win32 {

// UTF-8 inside the program, UTF-16 at the Windows API. Ill-formed input becomes U+FFFD.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace quill::platform::win32
