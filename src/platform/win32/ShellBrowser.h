#pragma once

#include "platform/Browser.h"

namespace quill::platform::win32 {

// The user's default browser, maximised, through the shell's "open" verb on the address.
// Which addresses may be opened is decided by the caller (ui/WebLink).
class ShellBrowser : public Browser {
public:
    void open(const std::string& url) override;
};

} // namespace quill::platform::win32
