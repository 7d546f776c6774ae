#include "platform/win32/WinInetHttp.h"

#include "ScriptedServer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <windows.h>

namespace quill::testing {
namespace {

using namespace std::chrono_literals;
using platform::HttpLimits;
using platform::win32::WinInetHttp;
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
    limits.wholeDownloadTime = 2000ms;
    return limits;
}

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(WinInetHttp, ReturnsBodiesByteForByteAcrossTheReadSize) {
    ScriptedServer server;
    WinInetHttp http;
    for (const std::size_t size : {0u, 1u, 255u, 256u, 257u, 512u, 100000u}) {
        const std::string body = randomBytes(size);
        server.serve("/feed", body, "application/rss+xml; charset=ISO-8859-1");
        const auto response = http.get(server.url("/feed"));
        EXPECT_EQ(response.body.size(), size);
        EXPECT_TRUE(response.body == body) << "body of " << size << " bytes differs";
        EXPECT_EQ(response.contentType, "application/rss+xml; charset=ISO-8859-1");
    }
}

TEST(WinInetHttp, IdentifiesItselfAsTheClassicAgent) {
    ScriptedServer server;
    server.serve("/feed", "<rss/>");
    WinInetHttp().get(server.url("/feed"));
    EXPECT_EQ(server.lastUserAgent(), "vb wininet");
}

TEST(WinInetHttp, GoesThroughTheSystemsProxy) {
    ScriptedServer origin, proxy;
    proxy.serve(origin.url("/feed"), "<rss/>"); // a proxy is asked for the whole address
    // Set as Internet Options sets it, read when WinINet opens; the other WinINet tests take turns.
    const char* settings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    const std::string server = proxy.url("").substr(std::string("http://").size());
    DWORD enable = 1;
    RegSetKeyValueA(HKEY_CURRENT_USER, settings, "ProxyServer", REG_SZ, server.c_str(),
                    static_cast<DWORD>(server.size() + 1));
    RegSetKeyValueA(HKEY_CURRENT_USER, settings, "ProxyEnable", REG_DWORD, &enable, sizeof enable);
    WinInetHttp http;
    enable = 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, settings, "ProxyEnable", REG_DWORD, &enable, sizeof enable);
    EXPECT_EQ(http.get(origin.url("/feed")).body, "<rss/>");
}

TEST(WinInetHttp, ReturnsTheBodyOfAnErrorPage) {
    ScriptedServer server;
    server.serve("/missing", "<html>Not here</html>", "text/html", 404);
    server.serve("/broken", "oops", "text/plain", 500);
    WinInetHttp http;
    const auto missing = http.get(server.url("/missing"));
    EXPECT_EQ(missing.body, "<html>Not here</html>");
    EXPECT_EQ(missing.contentType, "text/html");
    EXPECT_EQ(http.get(server.url("/broken")).body, "oops");
}

TEST(WinInetHttp, FollowsRelativeAndAbsoluteRedirectsToTheFinalBody) {
    ScriptedServer server;
    server.redirect("/old", "/dir/older");
    server.redirect("/dir/older", "newest?x=1");
    server.redirect("/dir/newest?x=1", server.url("/feed"));
    server.serve("/feed", "<rss>moved</rss>", "text/xml; charset=windows-1252");
    const auto response = WinInetHttp().get(server.url("/old"));
    EXPECT_EQ(response.body, "<rss>moved</rss>");
    EXPECT_EQ(response.contentType, "text/xml; charset=windows-1252");
    EXPECT_EQ(server.requestCount(), 4u);
}

TEST(WinInetHttp, GivesUpOnARedirectLoopAfterTheLimit) {
    ScriptedServer server;
    server.redirect("/a", "/b");
    server.redirect("/b", "/a");
    const auto response = WinInetHttp().get(server.url("/a"));
    EXPECT_EQ(response.body, "");
    // The first request plus ten followed redirects; the eleventh is not taken.
    EXPECT_EQ(server.requestCount(), 11u);
}

TEST(WinInetHttp, FollowsNoRedirectAwayFromHttp) {
    ScriptedServer server;
    server.redirect("/away", "ftp://127.0.0.1/feed");
    EXPECT_EQ(WinInetHttp().get(server.url("/away")).body, "");
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST(WinInetHttp, KeepsTheBytesUpToTheCapAndStops) {
    ScriptedServer server;
    const std::string body = randomBytes(100000);
    server.serve("/big", body);
    HttpLimits limits;
    limits.maxBodyBytes = 1000;
    const auto response = WinInetHttp(limits).get(server.url("/big"));
    EXPECT_TRUE(response.body == body.substr(0, 1000)) << response.body.size() << " bytes kept";
}

TEST(WinInetHttp, GivesUpOnAServerThatNeverAnswers) {
    ScriptedServer server;
    server.silent("/feed");
    const auto start = Clock::now();
    const auto response = WinInetHttp(quickLimits()).get(server.url("/feed"));
    const auto elapsed = millisecondsSince(start);
    EXPECT_EQ(response.body, "");
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 1900);
    std::cout << "never-answering server given up after " << elapsed << " ms\n";
}

TEST(WinInetHttp, CutsATrickleAtTheWholeDownloadLimit) {
    ScriptedServer server;
    const std::string body(200, 'x');
    // Fast enough never to stall, far too slow to finish within the limit.
    server.trickle("/feed", body, 100ms);
    const auto start = Clock::now();
    const auto response = WinInetHttp(quickLimits()).get(server.url("/feed"));
    const auto elapsed = millisecondsSince(start);
    EXPECT_GE(elapsed, 1900);
    EXPECT_LT(elapsed, 3000);
    EXPECT_GE(response.body.size(), 5u);
    EXPECT_LT(response.body.size(), body.size());
    EXPECT_EQ(response.body, body.substr(0, response.body.size()));
    std::cout << "trickle cut after " << elapsed << " ms with " << response.body.size()
              << " bytes\n";
}

TEST(WinInetHttp, GivesNothingForAnAddressThatIsNotHttp) {
    const auto start = Clock::now();
    WinInetHttp http(quickLimits());
    EXPECT_EQ(http.get("").body, "");
    EXPECT_EQ(http.get("not a url").body, "");
    EXPECT_EQ(http.get("file:///C:/windows/win.ini").body, "");
    EXPECT_EQ(http.get("http://").body, "");
    EXPECT_LT(millisecondsSince(start), 1000);
}

} // namespace
} // namespace quill::testing
