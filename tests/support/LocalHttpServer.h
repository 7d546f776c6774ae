#pragma once

#include <cstddef>
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
    // Answers GET from with a 302 to `to`, a path on this server or any absolute URL.
    void redirect(const std::string& from, const std::string& to);

    std::string url(const std::string& path) const;
    int port() const { return port_; }
    std::string lastUserAgent() const;
    std::size_t requestCount() const;

private:
    struct Route {
        int status = 200;
        std::string body;
        std::string contentType;
        std::string location;
    };

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::string lastUserAgent_;
    std::size_t requestCount_ = 0;
};

} // namespace quill::testing
