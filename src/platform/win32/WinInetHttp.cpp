#include "platform/win32/WinInetHttp.h"

#include "platform/win32/Wide.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <windows.h>
#include <wininet.h>

namespace quill::platform::win32 {
namespace {

using Clock = std::chrono::steady_clock;

struct HandleCloser {
    void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

constexpr DWORD kReadSize = 256;

struct Target {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object; // path and query, without the fragment
};

std::optional<Target> crack(const std::wstring& url) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    // Non-zero lengths with null buffers ask for pointers into the address itself.
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (url.empty() || !InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        parts.dwHostNameLength == 0) {
        return std::nullopt;
    }
    Target target;
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.port = parts.nPort;
    target.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    target.object = target.object.substr(0, target.object.find(L'#'));
    if (target.object.empty()) {
        target.object = L"/";
    }
    return target;
}

DWORD millisecondsOf(std::chrono::milliseconds time) {
    return static_cast<DWORD>(std::clamp<long long>(time.count(), 1, 0x7FFFFFFF));
}

void setTimeout(HINTERNET request, DWORD option, std::chrono::milliseconds time) {
    DWORD value = millisecondsOf(time);
    InternetSetOptionW(request, option, &value, sizeof value);
}

std::wstring headerText(HINTERNET request, DWORD query) {
    std::wstring text(64, L'\0');
    for (;;) {
        auto size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (HttpQueryInfoW(request, query, text.data(), &size, nullptr)) {
            text.resize(size / sizeof(wchar_t));
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        text.resize(size / sizeof(wchar_t) + 1);
    }
}

DWORD statusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                   nullptr);
    return status;
}

bool isRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A Location header resolved against the address that sent it.
std::wstring resolve(const std::wstring& base, const std::wstring& location) {
    std::wstring combined(base.size() + location.size() + 64, L'\0');
    for (;;) {
        auto size = static_cast<DWORD>(combined.size());
        if (InternetCombineUrlW(base.c_str(), location.c_str(), combined.data(), &size,
                                ICU_NO_ENCODE)) {
            combined.resize(size);
            return combined;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        combined.resize(size + 1);
    }
}

} // namespace

WinInetHttp::WinInetHttp(HttpLimits limits)
    : limits_(limits),
      // The system's proxy settings, as the browser uses them; direct where none is set.
      internet_(InternetOpenW(L"vb wininet", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {}

WinInetHttp::~WinInetHttp() {
    if (internet_) {
        InternetCloseHandle(internet_);
    }
}

HttpResponse WinInetHttp::get(const std::string& url) {
    HttpResponse response;
    const auto deadline = Clock::now() + limits_.wholeDownloadTime;
    // Neither a read nor waiting for an answer may outlast the stall time or the deadline.
    const auto receiveTime = [&] {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return std::min(limits_.stallTime, left);
    };
    std::wstring address = widen(url);
    for (long redirects = 0; internet_ && Clock::now() < deadline; ++redirects) {
        const auto target = crack(address);
        if (!target) {
            return response;
        }
        const Handle connection(InternetConnectW(internet_, target->host.c_str(), target->port,
                                                 nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        // Redirects are followed here, where they are counted and must stay http or https.
        const DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD |
                            INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES |
                            INTERNET_FLAG_NO_UI | (target->secure ? INTERNET_FLAG_SECURE : 0);
        const Handle request(connection ? HttpOpenRequestW(connection.get(), L"GET",
                                                           target->object.c_str(), nullptr, nullptr,
                                                           nullptr, flags, 0)
                                        : nullptr);
        if (!request) {
            return response;
        }
        // Wine honours time-outs on the request handle, not on the root handle.
        setTimeout(request.get(), INTERNET_OPTION_CONNECT_TIMEOUT, limits_.connectTimeout);
        setTimeout(request.get(), INTERNET_OPTION_SEND_TIMEOUT, limits_.stallTime);
        setTimeout(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, receiveTime());
        if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) {
            return response;
        }
        const DWORD status = statusCode(request.get());
        const std::wstring location = headerText(request.get(), HTTP_QUERY_LOCATION);
        if (isRedirect(status) && !location.empty()) {
            if (redirects == limits_.maxRedirects) {
                return response;
            }
            address = resolve(address, location);
            continue;
        }
        response.contentType = narrow(headerText(request.get(), HTTP_QUERY_CONTENT_TYPE));
        std::array<char, kReadSize> buffer;
        while (response.body.size() < limits_.maxBodyBytes && Clock::now() < deadline) {
            setTimeout(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, receiveTime());
            DWORD available = 0;
            if (!InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) {
                break;
            }
            const auto wanted = static_cast<DWORD>(std::min<std::size_t>(
                {available, kReadSize, limits_.maxBodyBytes - response.body.size()}));
            DWORD read = 0;
            if (!InternetReadFile(request.get(), buffer.data(), wanted, &read) || read == 0) {
                break;
            }
            response.body.append(buffer.data(), read);
        }
        return response;
    }
    return response;
}

} // namespace quill::platform::win32
