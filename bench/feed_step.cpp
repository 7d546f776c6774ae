// Times everything the feed step does after the download, on a realistic 1 MiB feed.
#include "feeds/FeedExtraction.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
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

// The same stories as Atom entries, with relative links and typed text.
std::string makeAtomFeed(std::size_t size) {
    std::string feed =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed "
        "xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"https://bench.example/\">\n"
        "<title>Bench &amp; Co</title>\n<link rel=\"self\" href=\"feed.atom\"/>\n"
        "<link href=\"/\"/>\n";
    for (int n = 0; feed.size() < size; ++n) {
        const std::string id = std::to_string(n);
        feed += "<entry>\n<title type=\"html\">Story " + id +
                ": council &amp;amp; caf\xC3\xA9 owners agree &amp;#8211; &lt;q&gt;at last"
                "&lt;/q&gt;</title>\n<link rel=\"replies\" href=\"story/" +
                id + "#comments\"/>\n<link rel=\"alternate\" href=\"story?id=" + id +
                "&amp;ref=atom\"/>\n<id>tag:bench.example," + id +
                "</id>\n<updated>2024-03-04T10:00:00Z</updated>\n<summary type=\"html\">"
                "&lt;p&gt;The meeting, held at 7:30, ended with a vote. &amp;copy; Bench News "
                "&amp;mdash; it&amp;rsquo;s official.&lt;/p&gt;</summary>\n</entry>\n";
    }
    return feed + "</feed>\n";
}

void measure(const char* what, const std::string& feed, const quill::platform::CodePage& system) {
    const quill::platform::HttpResponse response{feed, "application/xml; charset=utf-8"};
    constexpr int kRuns = 20;
    std::vector<double> milliseconds, processor;
    std::size_t fields = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t startClock = std::clock();
        const auto result =
            quill::feeds::extractFeed(response, "https://bench.example/feed.xml", system, "\r");
        processor.push_back(1000.0 * static_cast<double>(std::clock() - startClock) /
                            CLOCKS_PER_SEC);
        const auto stop = std::chrono::steady_clock::now();
        fields = result.fields.size();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::sort(processor.begin(), processor.end());
    // On a machine others load, the processor time is what the step itself costs.
    std::printf("feed step, 1 MiB %s: %.1f ms, %.1f ms of processor time (medians of %d; %zu "
                "fields, code page %s)\n",
                what, milliseconds[kRuns / 2], processor[kRuns / 2], kRuns, fields,
                system.name().c_str());
}

} // namespace

int main() {
    std::setlocale(LC_CTYPE, "");
    const auto system = quill::platform::makeSystemCodePage();
    measure("RSS", makeFeed(1024 * 1024), *system);
    measure("Atom", makeAtomFeed(1024 * 1024), *system);
    return 0;
}
