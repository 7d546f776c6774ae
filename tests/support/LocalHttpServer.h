#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace quill::testing {

// An HTTP server on 127.0.0.1 (a free port) running in a background thread for one test.
// Routes may be added while it runs; a path with no route gets an empty 404.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Answers GET path with these bytes.
    void serve(const std::string& path, std::string body, std::string contentType = "text/xml",
               int status = 200);
    // Answers every GET of path with a body made for that request.
    void serveMade(const std::string& path, std::function<std::string()> makeBody);
    // Answers GET path only after this wait (a slow server); other paths still answer at once.
    void delay(const std::string& path, std::chrono::milliseconds wait);
    // Answers GET from with a 302 to `to`, a path on this server or any absolute URL.
    void redirect(const std::string& from, const std::string& to);

    std::string url(const std::string& path) const;
    int port() const { return port_; }
    std::string lastUserAgent() const;
    std::size_t requestCount() const;
    std::size_t requestCount(const std::string& path) const;

private:
    struct Route {
        int status = 200;
        std::string body;
        std::string contentType;
        std::string location;
        std::function<std::string()> makeBody;
    };

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::string lastUserAgent_;
    std::size_t requestCount_ = 0;
    std::map<std::string, std::size_t> requestsByPath_;
    std::map<std::string, std::chrono::milliseconds> delays_;
};

} // namespace quill::testing
