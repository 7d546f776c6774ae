#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace quill::testing {

// An HTTP/1.1 server on 127.0.0.1 over Winsock, one connection at a time, each closed after
// its answer. Besides plain routes it plays the servers a download must survive: one that
// never answers and one that trickles its body.
class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    void serve(const std::string& path, std::string body, std::string contentType = "text/xml",
               int status = 200);
    // A 302 to `location`, sent as given (a relative reference stays relative).
    void redirect(const std::string& path, std::string location);
    // Reads the request and never answers.
    void silent(const std::string& path);
    // Sends the headers, then one byte of `body` per `interval`, then closes.
    void trickle(const std::string& path, std::string body, std::chrono::milliseconds interval);

    std::string url(const std::string& path) const;
    std::string lastUserAgent() const;
    std::size_t requestCount() const;

private:
    enum class Kind { Whole, Silent, Trickle };
    struct Route {
        Kind kind = Kind::Whole;
        int status = 200;
        std::string body;
        std::string contentType;
        std::string location;
        std::chrono::milliseconds interval{};
    };

    void acceptLoop();
    void answer(std::uintptr_t connection);
    // Waits up to `time` for the destructor; true when it has begun.
    bool stoppingWithin(std::chrono::milliseconds time);

    std::uintptr_t listener_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Route> routes_;
    std::string lastUserAgent_;
    std::size_t requestCount_ = 0;
    std::thread thread_;
};

} // namespace quill::testing
