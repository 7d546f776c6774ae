#include "platform/curl/CurlHttp.h"

#include "support/LocalHttpServer.h"
#include "support/RawReplyServer.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace quill {
namespace {

using namespace std::chrono_literals;
using platform::CurlHttp;
using platform::HttpLimits;
using testing::LocalHttpServer;
using testing::RawReplyServer;
using Clock = std::chrono::steady_clock;

std::string randomBytes(std::size_t size) {
    std::mt19937 generator(static_cast<unsigned>(size));
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(generator));
    }
    return bytes;
}

HttpLimits quickLimits() {
    HttpLimits limits;
    limits.connectTimeout = 1000ms;
    limits.stallTime = 1000ms;
    return limits;
}

// A local port that is bound but not listening, so connecting to it is refused at once.
class RefusedPort {
public:
    RefusedPort() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~RefusedPort() { ::close(socket_); }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/feed"; }

private:
    int socket_;
    int port_ = 0;
};

TEST(CurlHttp, ReturnsBodiesByteForByteWhateverTheirSize) {
    LocalHttpServer server;
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{200}, std::size_t{255},
                             std::size_t{256}, std::size_t{512}, std::size_t{1024 * 1024}}) {
        const std::string body = randomBytes(size);
        server.serve("/feed", body, "application/octet-stream");
        CurlHttp http;
        const auto response = http.get(server.url("/feed"));
        EXPECT_EQ(response.body.size(), size);
        EXPECT_TRUE(response.body == body) << "body of " << size << " bytes differs";
        EXPECT_EQ(response.contentType, "application/octet-stream");
    }
}

TEST(CurlHttp, IdentifiesItselfAsTheClassicAgent) {
    LocalHttpServer server;
    server.serve("/feed", "<rss/>");
    CurlHttp().get(server.url("/feed"));
    EXPECT_EQ(server.lastUserAgent(), "vb wininet");
}

TEST(CurlHttp, ReturnsTheBodyOfAnErrorPage) {
    LocalHttpServer server;
    server.serve("/missing", "<html>Not here</html>", "text/html", 404);
    server.serve("/broken", "oops", "text/plain", 500);
    CurlHttp http;
    EXPECT_EQ(http.get(server.url("/missing")).body, "<html>Not here</html>");
    EXPECT_EQ(http.get(server.url("/broken")).body, "oops");
}

TEST(CurlHttp, FollowsRedirectsToTheFinalBody) {
    LocalHttpServer server;
    server.redirect("/old", "/older");
    server.redirect("/older", "/feed");
    server.serve("/feed", "<rss>moved</rss>", "application/rss+xml; charset=utf-8");
    const auto response = CurlHttp().get(server.url("/old"));
    EXPECT_EQ(response.body, "<rss>moved</rss>");
    EXPECT_EQ(response.contentType, "application/rss+xml; charset=utf-8");
}

TEST(CurlHttp, GivesUpOnARedirectLoopAfterTheLimit) {
    LocalHttpServer server;
    server.redirect("/a", "/b");
    server.redirect("/b", "/a");
    HttpLimits limits;
    limits.maxRedirects = 10;
    const auto response = CurlHttp(limits).get(server.url("/a"));
    EXPECT_EQ(response.body, "");
    // The first request plus ten followed redirects; the eleventh is not taken.
    EXPECT_EQ(server.requestCount(), 11u);
}

TEST(CurlHttp, KeepsTheBytesUpToTheCapAndStops) {
    LocalHttpServer server;
    const std::string body = randomBytes(100000);
    server.serve("/big", body);
    HttpLimits limits;
    limits.maxBodyBytes = 1000;
    const auto response = CurlHttp(limits).get(server.url("/big"));
    EXPECT_TRUE(response.body == body.substr(0, 1000)) << response.body.size() << " bytes kept";

    limits.maxBodyBytes = body.size();
    EXPECT_TRUE(CurlHttp(limits).get(server.url("/big")).body == body);
}

TEST(CurlHttp, GivesUpOnAServerThatNeverAnswers) {
    RawReplyServer silent;
    const auto start = Clock::now();
    const auto response = CurlHttp(quickLimits()).get(silent.url("/feed"));
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(response.body, "");
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 4s);
    std::cout << "never-answering server given up after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << " ms\n";
}

TEST(CurlHttp, ReturnsWhatArrivedBeforeAHangUpOrAStall) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n"
                             "Content-Length: 1000\r\n\r\n<rss><title>Part";
    RawReplyServer hungUp(head, RawReplyServer::Then::HangUp);
    EXPECT_EQ(CurlHttp(quickLimits()).get(hungUp.url("/feed")).body, "<rss><title>Part");

    // libcurl averages the speed over its last five seconds, so bytes that came before the
    // stall put off its start by up to that long.
    RawReplyServer stalled(head, RawReplyServer::Then::Stall);
    const auto start = Clock::now();
    EXPECT_EQ(CurlHttp(quickLimits()).get(stalled.url("/feed")).body, "<rss><title>Part");
    EXPECT_LT(Clock::now() - start, 9s);
}

TEST(CurlHttp, CutsAnEndlessTrickleAtTheWholeDownloadLimitAndKeepsItsBytes) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<rss>";
    RawReplyServer trickling(head, RawReplyServer::Then::Trickle);
    HttpLimits limits = quickLimits();
    limits.wholeDownloadTime = 2000ms;
    const auto start = Clock::now();
    const auto body = CurlHttp(limits).get(trickling.url("/feed")).body;
    const auto elapsed = Clock::now() - start;
    // Ten bytes a second never trips the stall check; only the whole-download limit ends it.
    EXPECT_GE(elapsed, 1900ms);
    EXPECT_LT(elapsed, 4s);
    EXPECT_EQ(body.substr(0, 5), "<rss>");
    EXPECT_GT(body.size(), 10u);
}

TEST(CurlHttp, GivesNothingQuicklyForNoAddressOrARefusedPort) {
    RefusedPort refused;
    CurlHttp http;
    const auto start = Clock::now();
    EXPECT_EQ(http.get("").body, "");
    EXPECT_EQ(http.get("not a url").body, "");
    EXPECT_EQ(http.get(refused.url()).body, "");
    EXPECT_LT(Clock::now() - start, 1s);
}

TEST(CurlHttp, IgnoresProxySettingsInTheEnvironment) {
    LocalHttpServer server;
    server.serve("/feed", "direct");
    RefusedPort deadProxy;
    ::setenv("http_proxy", deadProxy.url().c_str(), 1);
    const auto response = CurlHttp().get(server.url("/feed"));
    ::unsetenv("http_proxy");
    EXPECT_EQ(response.body, "direct");
}

} // namespace
} // namespace quill
