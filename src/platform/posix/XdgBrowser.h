#pragma once

#include "platform/Browser.h"

namespace quill::platform {

// The desktop's preferred browser through xdg-open. The address is one argument, never seen
// by a shell, and the browser runs on by itself: nothing is left behind to reap.
class XdgBrowser : public Browser {
public:
    void open(const std::string& url) override;
};

} // namespace quill::platform
