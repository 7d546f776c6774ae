#include "platform/curl/CurlHttp.h"

#include <algorithm>
#include <curl/curl.h>
#include <memory>

namespace quill::platform {
namespace {

void initialiseCurlOnce() {
    // Older libcurl versions must not run curl_global_init twice at once; a static runs it once.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

struct Download {
    CURL* easy;
    std::string body;
    std::size_t cap;
};

// A body of known length gets its room at once: growing by doubling would hold a large feed
// one and a half times over for a moment.
void reserveForAnnouncedLength(Download& download) {
    curl_off_t announced = -1;
    if (download.body.empty() &&
        curl_easy_getinfo(download.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
            CURLE_OK &&
        announced > 0) {
        download.body.reserve(std::min(static_cast<std::size_t>(announced), download.cap));
    }
}

// Keeps the bytes up to the cap. Taking fewer bytes than offered makes libcurl end the transfer.
std::size_t keepBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& download = *static_cast<Download*>(user);
    const std::size_t offered = size * count;
    const std::size_t kept = std::min(offered, download.cap - download.body.size());
    try {
        reserveForAnnouncedLength(download);
        download.body.append(data, kept);
    } catch (...) {
        return 0; // out of memory: stop and keep what we have
    }
    return kept;
}

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

long wholeSecondsAtLeastOne(std::chrono::milliseconds time) {
    return std::max<long>(1, static_cast<long>((time.count() + 999) / 1000));
}

} // namespace

CurlHttp::CurlHttp(HttpLimits limits) : limits_(limits) {
    initialiseCurlOnce();
}

HttpResponse CurlHttp::get(const std::string& url) {
    HttpResponse response;
    std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    if (!easy) {
        return response;
    }
    CURL* e = easy.get();
    Download download{e, {}, limits_.maxBodyBytes};
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_USERAGENT, "vb wininet");
    // A direct connection, whatever the environment's proxy variables say.
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    curl_easy_setopt(e, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, limits_.maxRedirects);
    // Signals would be unsafe on the UI thread and cannot cut short a threaded resolve anyway.
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.wholeDownloadTime.count()));
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, limits_.stallBytesPerSecond);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, wholeSecondsAtLeastOne(limits_.stallTime));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, keepBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &download);

    // Any failure still leaves the bytes that arrived before it.
    curl_easy_perform(e);

    response.body = std::move(download.body);
    const char* contentType = nullptr;
    if (curl_easy_getinfo(e, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType) {
        response.contentType = contentType;
    }
    return response;
}

} // namespace quill::platform
