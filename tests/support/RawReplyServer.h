#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace quill::testing {

// A TCP port on 127.0.0.1 that accepts every connection and writes the same bytes to it, then
// keeps the connection open without another byte (a stalled server), hangs up, or trickles one
// more byte every 100 ms for as long as the client listens (an endless slow body).
// With no bytes it is a server that never answers.
class RawReplyServer {
public:
    enum class Then { Stall, HangUp, Trickle };

    explicit RawReplyServer(std::string reply = {}, Then then = Then::Stall);
    ~RawReplyServer();
    RawReplyServer(const RawReplyServer&) = delete;
    RawReplyServer& operator=(const RawReplyServer&) = delete;

    std::string url(const std::string& path) const;

private:
    void acceptLoop();
    void trickle(int connection);

    std::string reply_;
    Then then_;
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> openConnections_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace quill::testing
