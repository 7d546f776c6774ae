// The bar's downloads, one a run: the Content-Type of the answer, a line break and its body on
// standard output. A process of its own, so the network and TLS libraries leave with it.

#include "platform/curl/CurlHttp.h"

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: quillmark-fetch URL\n", stderr);
        return 2;
    }
    quill::platform::CurlHttp http;
    const quill::platform::HttpResponse response = http.get(argv[1]);
    std::string type = response.contentType;
    std::erase_if(type, [](char c) { return c == '\r' || c == '\n'; });
    type += '\n';
    const bool written = std::fwrite(type.data(), 1, type.size(), stdout) == type.size() &&
                         std::fwrite(response.body.data(), 1, response.body.size(), stdout) ==
                             response.body.size() &&
                         std::fflush(stdout) == 0;
    return written ? 0 : 1;
}
