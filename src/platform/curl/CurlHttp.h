#pragma once

#include "platform/Http.h"

namespace quill::platform {

// A direct GET through libcurl: no proxy, no cache, redirects followed, every wait bounded.
class CurlHttp : public Http {
public:
    explicit CurlHttp(HttpLimits limits = {});
    HttpResponse get(const std::string& url) override;

private:
    HttpLimits limits_;
};

} // namespace quill::platform
