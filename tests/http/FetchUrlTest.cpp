#include "feeds/GetUrl.h"
#include "platform/curl/CurlHttp.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using feeds::FetchUrl;

TEST(FetchUrl, ReadsEachByteThroughTheCodePageIgnoringTheDocumentsEncoding) {
    testing::LocalHttpServer server;
    server.serve("/feed", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><title>caf\xC3\xA9</title>",
                 "text/xml; charset=utf-8");
    platform::CurlHttp http;

    const std::string ansi =
        FetchUrl(http, *platform::makeWindows1252CodePage(), server.url("/feed"));
    EXPECT_EQ(ansi, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><title>caf\u00C3\u00A9</title>");

    const std::string utf8 = FetchUrl(http, *platform::makeUtf8CodePage(), server.url("/feed"));
    EXPECT_EQ(utf8, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><title>caf\u00E9</title>");
}

TEST(FetchUrl, GivesEmptyTextForAnEmptyAddress) {
    platform::CurlHttp http;
    EXPECT_EQ(FetchUrl(http, *platform::makeWindows1252CodePage(), ""), "");
}

} // namespace
} // namespace quill
