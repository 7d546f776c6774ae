#pragma once

#include "platform/Http.h"

namespace quill::platform::win32 {

// Downloads through WinINet as the classic program did ("vb wininet", no cache), but through the
// system's proxy, kept within HttpLimits by means that Wine honours too: time-outs on each
// request handle and the whole-download limit checked between reads of at most 256 bytes.
class WinInetHttp : public Http {
public:
    explicit WinInetHttp(HttpLimits limits = {});
    ~WinInetHttp() override;
    WinInetHttp(const WinInetHttp&) = delete;
    WinInetHttp& operator=(const WinInetHttp&) = delete;

    HttpResponse get(const std::string& url) override;

private:
    HttpLimits limits_;
    void* internet_; // the InternetOpen handle; null when WinINet could not start
};

} // namespace quill::platform::win32
