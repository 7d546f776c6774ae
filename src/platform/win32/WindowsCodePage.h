#pragma once

#include "platform/CodePage.h"

namespace quill::platform {

// A code page of Windows by its number, converted by Windows itself.
std::unique_ptr<CodePage> makeWindowsCodePage(unsigned number);

} // namespace quill::platform
