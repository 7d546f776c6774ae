#include "support/LocalHttpServer.h"

#include <httplib.h>
#include <stdexcept>

namespace quill::testing {

LocalHttpServer::LocalHttpServer() : server_(std::make_unique<httplib::Server>()) {
    // One handler reads the route table under the lock, so tests can add routes at any time.
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::unique_lock lock(mutex_);
        ++requestCount_;
        ++requestsByPath_[request.path];
        lastUserAgent_ = request.get_header_value("User-Agent");
        if (const auto delay = delays_.find(request.path); delay != delays_.end()) {
            // A slow answer must not hold up other requests or the test's queries.
            const std::chrono::milliseconds wait = delay->second;
            lock.unlock();
            std::this_thread::sleep_for(wait);
            lock.lock();
        }
        const auto route = routes_.find(request.path);
        if (route == routes_.end()) {
            response.status = 404;
            return;
        }
        response.status = route->second.status;
        if (!route->second.location.empty()) {
            response.set_header("Location", route->second.location);
        }
        // A stored body is copied once, straight into the response: some are tens of megabytes.
        if (route->second.makeBody) {
            response.set_content(route->second.makeBody(), route->second.contentType);
        } else {
            response.set_content(route->second.body, route->second.contentType);
        }
    });
    // A client that keeps its connection open must not hold up the shutdown for long.
    server_->set_keep_alive_timeout(1);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ < 0) {
        throw std::runtime_error("cannot bind a local HTTP port");
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is ignored until the accept loop has started; connections already queue meanwhile.
    while (!server_->is_running()) {
        std::this_thread::yield();
    }
}

LocalHttpServer::~LocalHttpServer() {
    server_->stop();
    thread_.join();
}

void LocalHttpServer::serve(const std::string& path, std::string body, std::string contentType,
                            int status) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{status, std::move(body), std::move(contentType), {}, {}};
}

void LocalHttpServer::serveMade(const std::string& path, std::function<std::string()> makeBody) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{200, {}, "text/xml", {}, std::move(makeBody)};
}

void LocalHttpServer::delay(const std::string& path, std::chrono::milliseconds wait) {
    std::lock_guard lock(mutex_);
    delays_[path] = wait;
}

void LocalHttpServer::redirect(const std::string& from, const std::string& to) {
    const std::string location = to.starts_with("/") ? url(to) : to;
    std::lock_guard lock(mutex_);
    routes_[from] = Route{302, {}, "text/html", location, {}};
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string LocalHttpServer::lastUserAgent() const {
    std::lock_guard lock(mutex_);
    return lastUserAgent_;
}

std::size_t LocalHttpServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requestCount_;
}

std::size_t LocalHttpServer::requestCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto found = requestsByPath_.find(path);
    return found == requestsByPath_.end() ? 0 : found->second;
}

} // namespace quill::testing
