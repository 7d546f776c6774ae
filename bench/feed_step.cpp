// Times everything the feed step does after the download, on a realistic 1 MiB feed.
#include "feeds/FeedExtraction.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string makeFeed(std::size_t size) {
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n"
                       "<channel>\n<title>Bench &amp; Co</title>\n"
                       "<link>https://bench.example/</link>\n"
                       "<description>Everything that happened today</description>\n"
                       "<image><url>https://bench.example/logo.png</url><title>Bench</title>"
                       "<link>https://bench.example/</link></image>\n";
    for (int n = 0; feed.size() < size; ++n) {
        const std::string id = std::to_string(n);
        feed += "<item>\n<title>Story " + id +
                ": council &amp; caf\xC3\xA9 owners agree &#8211; &quot;at last&quot;</title>\n"
                "<link>https://bench.example/story?id=" +
                id +
                "&amp;ref=rss</link>\n"
                "<description><![CDATA[<p>The meeting&#44; held at 7&#058;30&#44; ended "
                "with a vote. &#169; Bench News &#8212; it&#039;s \xE2\x80\x9Cofficial\xE2\x80\x9D."
                "</p><img src=\"https://bench.example/" +
                id +
                ".jpg\"/>]]></description>\n"
                "<guid isPermaLink=\"false\">story-" +
                id + "</guid>\n<pubDate>Mon, 04 Mar 2024 10:00:00 GMT</pubDate>\n</item>\n";
    }
    return feed + "</channel>\n</rss>\n";
}

} // namespace

int main() {
    std::setlocale(LC_CTYPE, "");
    const auto system = quill::platform::makeSystemCodePage();
    const quill::platform::HttpResponse response{makeFeed(1024 * 1024),
                                                 "application/rss+xml; charset=utf-8"};
    constexpr int kRuns = 20;
    std::vector<double> milliseconds;
    std::size_t fields = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const auto result =
            quill::feeds::extractFeed(response, "https://bench.example/feed.xml", *system, "\r");
        const auto stop = std::chrono::steady_clock::now();
        fields = result.fields.size();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("feed step, 1 MiB: %.1f ms (median of %d; %zu fields, code page %s)\n",
                milliseconds[kRuns / 2], kRuns, fields, system->name().c_str());
    return 0;
}
