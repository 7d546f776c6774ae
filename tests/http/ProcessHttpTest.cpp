#include "platform/posix/ProcessHttp.h"

#include "support/LocalHttpServer.h"
#include "support/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace quill {
namespace {

using namespace std::chrono_literals;
using platform::HttpLimits;
using platform::ProcessHttp;
using testing::LocalHttpServer;
using testing::TempFolder;
using Clock = std::chrono::steady_clock;

const std::filesystem::path kHelper = QUILL_BINARY_DIR "/src/quillmark-fetch";

TEST(ProcessHttp, TheHelperHandsOverTheBodyByteForByteAndItsContentType) {
    LocalHttpServer server;
    std::string body;
    for (int i = 0; i < 70000; ++i) {
        body += static_cast<char>(i * 7 % 256); // line breaks and NULs among the rest
    }
    server.serve("/feed", body, "application/rss+xml; charset=ISO-8859-1");
    server.serve("/missing", "<html>Not here</html>", "text/html", 404);

    ProcessHttp http(kHelper);
    const auto response = http.get(server.url("/feed"));
    EXPECT_EQ(response.body, body);
    EXPECT_EQ(response.contentType, "application/rss+xml; charset=ISO-8859-1");
    EXPECT_EQ(http.get(server.url("/missing")).body, "<html>Not here</html>");
}

TEST(ProcessHttp, AHelperThatCannotRunGivesNothing) {
    const auto response = ProcessHttp("/nonexistent/quillmark-fetch").get("http://127.0.0.1/");
    EXPECT_TRUE(response.body.empty());
    EXPECT_TRUE(response.contentType.empty());
}

TEST(ProcessHttp, AnEndlessOrHangingHelperIsCutOffAndEnded) {
    HttpLimits limits;
    limits.maxBodyBytes = 1000;
    limits.wholeDownloadTime = 100ms;
    // `yes URL` writes the address as the first line and then forever.
    const auto endless = ProcessHttp("/usr/bin/yes", limits).get("text/plain");
    EXPECT_EQ(endless.contentType, "text/plain");
    EXPECT_EQ(endless.body.size(), 1000u);

    TempFolder folder;
    folder.write("hang", "#!/bin/sh\nexec sleep 600\n");
    std::filesystem::permissions(folder.path() / "hang", std::filesystem::perms::owner_all);
    const auto started = Clock::now();
    const auto hung = ProcessHttp(folder.path() / "hang", limits).get("http://127.0.0.1/");
    EXPECT_TRUE(hung.body.empty());
    EXPECT_LT(Clock::now() - started, 10s);
}

} // namespace
} // namespace quill
