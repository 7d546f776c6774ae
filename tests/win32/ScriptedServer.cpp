#include "ScriptedServer.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <winsock2.h>

namespace quill::testing {
namespace {

std::string reasonFor(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

bool sendAll(SOCKET connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n =
            ::send(connection, bytes.data() + sent,
                   static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 65536)), 0);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// The request's head, up to its blank line; "" when the client went away first.
std::string readHead(SOCKET connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return {};
        }
        head.append(buffer, static_cast<std::size_t>(n));
    }
    return head;
}

std::string headerValue(const std::string& head, std::string name) {
    std::string lower = head;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto start = lower.find("\r\n" + name + ":");
    if (start == std::string::npos) {
        return {};
    }
    auto value = start + name.size() + 3;
    while (value < head.size() && head[value] == ' ') {
        ++value;
    }
    return head.substr(value, head.find("\r\n", value) - value);
}

} // namespace

ScriptedServer::ScriptedServer() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        throw std::runtime_error("Winsock does not start");
    }
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener == INVALID_SOCKET ||
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(listener);
        WSACleanup();
        throw std::runtime_error("cannot listen on a local TCP port");
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    // Closing the listening socket fails the blocked accept().
    ::closesocket(static_cast<SOCKET>(listener_));
    thread_.join();
    WSACleanup();
}

void ScriptedServer::serve(const std::string& path, std::string body, std::string contentType,
                           int status) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{Kind::Whole, status, std::move(body), std::move(contentType), {}, {}};
}

void ScriptedServer::redirect(const std::string& path, std::string location) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{Kind::Whole, 302, {}, "text/html", std::move(location), {}};
}

void ScriptedServer::silent(const std::string& path) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{Kind::Silent, 200, {}, {}, {}, {}};
}

void ScriptedServer::trickle(const std::string& path, std::string body,
                             std::chrono::milliseconds interval) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{Kind::Trickle, 200, std::move(body), "text/xml", {}, interval};
}

std::string ScriptedServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string ScriptedServer::lastUserAgent() const {
    std::lock_guard lock(mutex_);
    return lastUserAgent_;
}

std::size_t ScriptedServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requestCount_;
}

bool ScriptedServer::stoppingWithin(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return stopped_.wait_for(lock, time, [this] { return stopping_; });
}

void ScriptedServer::acceptLoop() {
    for (;;) {
        const SOCKET connection = ::accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (connection == INVALID_SOCKET) {
            return;
        }
        answer(connection);
        ::closesocket(connection);
    }
}

void ScriptedServer::answer(std::uintptr_t socket) {
    const auto connection = static_cast<SOCKET>(socket);
    const std::string head = readHead(connection);
    const auto pathStart = head.find(' ') + 1;
    const std::string path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
    Route route;
    {
        std::lock_guard lock(mutex_);
        ++requestCount_;
        lastUserAgent_ = headerValue(head, "User-Agent");
        const auto found = routes_.find(path);
        route = found != routes_.end() ? found->second : Route{Kind::Whole, 404, {}, {}, {}, {}};
    }
    if (route.kind == Kind::Silent) {
        stoppingWithin(std::chrono::hours(1));
        return;
    }
    std::string reply = "HTTP/1.1 " + std::to_string(route.status) + " " + reasonFor(route.status) +
                        "\r\nConnection: close\r\n";
    if (!route.contentType.empty()) {
        reply += "Content-Type: " + route.contentType + "\r\n";
    }
    if (!route.location.empty()) {
        reply += "Location: " + route.location + "\r\n";
    }
    reply += "Content-Length: " + std::to_string(route.body.size()) + "\r\n\r\n";
    if (route.kind == Kind::Whole) {
        sendAll(connection, reply + route.body);
        return;
    }
    if (!sendAll(connection, reply)) {
        return;
    }
    for (const char byte : route.body) {
        if (stoppingWithin(route.interval) || !sendAll(connection, std::string(1, byte))) {
            return;
        }
    }
}

} // namespace quill::testing
