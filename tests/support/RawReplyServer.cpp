#include "support/RawReplyServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace quill::testing {

RawReplyServer::RawReplyServer(std::string reply, Then then)
    : reply_(std::move(reply)), then_(then) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) {
            ::close(listener_);
        }
        throw std::runtime_error("cannot listen on a local TCP port");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { acceptLoop(); });
}

RawReplyServer::~RawReplyServer() {
    stopping_ = true;
    // On Linux shutting down a listening socket wakes the blocked accept() with an error.
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
    for (int connection : openConnections_) {
        ::close(connection);
    }
}

std::string RawReplyServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RawReplyServer::acceptLoop() {
    for (;;) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            return;
        }
        std::size_t sent = 0;
        while (sent < reply_.size()) {
            const ssize_t n =
                ::send(connection, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        if (then_ == Then::Trickle) {
            trickle(connection);
        }
        if (then_ == Then::HangUp) {
            ::close(connection);
        } else {
            // Only this thread touches the list until the destructor has joined it.
            openConnections_.push_back(connection);
        }
    }
}

void RawReplyServer::trickle(int connection) {
    // Paced on purpose: the client under test sees a live but endless transfer.
    while (!stopping_ && ::send(connection, "x", 1, MSG_NOSIGNAL) == 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

} // namespace quill::testing
