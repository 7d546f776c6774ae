#pragma once

#include "platform/Http.h"

#include <filesystem>

namespace quill::platform {

// A GET run by a helper program in a process of its own, which writes the Content-Type, a line
// break and the body to its output. The network and TLS libraries then load only for a reload
// and leave with the helper, instead of staying resident in a bar that runs all day.
class ProcessHttp : public Http {
public:
    explicit ProcessHttp(std::filesystem::path helper, HttpLimits limits = {});
    // What the helper gave, cut at the body limit; empty when it cannot run. A helper still
    // running past the whole download's bound and a little more is ended.
    HttpResponse get(const std::string& url) override;

private:
    std::filesystem::path helper_;
    HttpLimits limits_;
};

} // namespace quill::platform
