#pragma once

#include <string>

namespace quill::platform {

// Opens a web address in the user's browser, maximised where the platform allows it.
class Browser {
public:
    virtual ~Browser() = default;
    virtual void open(const std::string& url) = 0;
};

} // namespace quill::platform
