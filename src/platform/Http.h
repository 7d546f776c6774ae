#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace quill::platform {

// Bounds every download keeps, so a dead or endless server never freezes the bar for long.
struct HttpLimits {
    std::chrono::milliseconds connectTimeout{10000};
    // The transfer is dropped when fewer than stallBytesPerSecond arrive for stallTime.
    long stallBytesPerSecond = 1;
    std::chrono::milliseconds stallTime{15000};
    // The whole download, connecting and redirects included, ends after this long.
    std::chrono::milliseconds wholeDownloadTime{30000};
    long maxRedirects = 10;
    std::size_t maxBodyBytes = 32u * 1024u * 1024u;
};

struct HttpResponse {
    std::string body;        // raw bytes, whatever the status; cut at maxBodyBytes
    std::string contentType; // the Content-Type header of the last response, or ""
};

// One synchronous GET. Never throws: a failure gives what was read so far (often nothing).
class Http {
public:
    virtual ~Http() = default;
    virtual HttpResponse get(const std::string& url) = 0;
};

} // namespace quill::platform
