#include "feeds/Form2.h"
#include "platform/curl/CurlHttp.h"
#include "support/LocalHttpServer.h"
#include "support/ProgramFixture.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quill::testing {
namespace {

using Lines = std::vector<std::string>;

std::string rss(const std::string& name, const Lines& titles) {
    std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\">\n"
        "<channel>\n<title>" +
        name + "</title>\n<link>http://" + name + ".test/</link>\n<description>The " + name +
        " desk</description>\n<image>\n<url>http://" + name + ".test/logo.png</url>\n<title>" +
        name + " logo</title>\n<link>http://" + name + ".test/</link>\n</image>\n";
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        body += "<item>\n<title>" + titles[i] + "</title>\n<link>http://" + name + ".test/" + n +
                "</link>\n<description>Story " + n + "</description>\n</item>\n";
    }
    return body + "</channel>\n</rss>\n";
}

// The refresh run over real HTTP: the program's own client against a local server.
struct RefreshRunTest : ProgramFixture, ::testing::Test {
    LocalHttpServer server;
    platform::CurlHttp curl;
    Services realServices{world.app, curl, browser, registry, *codePage, folder.path(), {}};

    ticker::Form1& startOver(const Lines& feedUrls) {
        Lines lines{"20", "True"};
        lines.insert(lines.end(), feedUrls.begin(), feedUrls.end());
        writeLinks(lines);
        form1 = std::make_unique<ticker::Form1>(realServices);
        form1->Form_Load();
        return *form1;
    }
};

TEST_F(RefreshRunTest, TwoFeedsWithAnImageAndTwoItemsGiveNineteenEntries) {
    server.serve("/a.xml", rss("alpha", {"A one", "A two"}));
    server.serve("/b.xml", rss("beta", {"B one", "B two"}));
    ticker::Form1& bar = startOver({server.url("/a.xml"), server.url("/b.xml")});
    bar.form2().Command1.press();
    EXPECT_EQ(itemList(), (Lines{"alpha", "http://alpha.test/", "", "A one", "http://alpha.test/1",
                                 "Story 1", "A two", "http://alpha.test/2", "Story 2", "beta",
                                 "http://beta.test/", "", "B one", "http://beta.test/1", "Story 1",
                                 "B two", "http://beta.test/2", "Story 2", "end"}));
    EXPECT_EQ(server.lastUserAgent(), "vb wininet");
    EXPECT_TRUE(world.backend.boxes.empty());
    // The first headline entered at the right edge; the boxes sit flush at the right end.
    EXPECT_EQ(bar.Label1.caption(), "alpha-->");
    EXPECT_EQ(bar.Picture1.left(), bar.width());
    EXPECT_EQ(bar.Picture10.left(), bar.width() - bar.Picture10.width());
    EXPECT_EQ(bar.Picture11.left(), bar.width() - bar.Picture10.width() - bar.Picture11.width());
    EXPECT_FALSE(bar.Picture13.visible());
    // The worker keeps nothing between runs.
    EXPECT_EQ(bar.form2().List3.listCount(), 0);
    EXPECT_EQ(bar.form2().Text1.text(), "");
}

TEST_F(RefreshRunTest, AReloadFollowsTheLinksFileAndKeepsTheReadPosition) {
    server.serve("/a.xml", rss("alpha", {"A one"}));
    server.serve("/b.xml", rss("beta", {"B one"}));
    ticker::Form1& bar = startOver({server.url("/a.xml"), server.url("/b.xml")});
    bar.form2().Command1.press();
    const Lines first = itemList();
    bar.ItemIndex = 6;
    bar.form2().Command2.press(); // the same feeds give the same list
    EXPECT_EQ(itemList(), first);
    EXPECT_EQ(bar.ItemIndex, 6);

    writeLinks({"20", "True", server.url("/b.xml")});
    bar.form2().Command2.press();
    EXPECT_EQ(itemList(), (Lines{"beta", "http://beta.test/", "", "B one", "http://beta.test/1",
                                 "Story 1", "end"}));
    EXPECT_FALSE(bar.Label10.visible());
}

TEST_F(RefreshRunTest, NoFeedsGiveOnlyTheSentinelAndDeadFeedsContributeNothing) {
    ticker::Form1& bar = startOver({});
    bar.form2().Command1.press();
    EXPECT_EQ(itemList(), Lines{"end"});
    EXPECT_TRUE(world.backend.boxes.empty());

    server.serve("/ok.xml", rss("gamma", {"G one"}));
    ProgramFixture::form1.reset();
    ticker::Form1& again = startOver({"", "http://127.0.0.1:1/refused.xml", server.url("/ok.xml")});
    again.form2().Command1.press();
    EXPECT_EQ(itemList(), (Lines{"gamma", "http://gamma.test/", "", "G one", "http://gamma.test/1",
                                 "Story 1", "end"}));
    EXPECT_EQ(world.backend.boxes.size(), 2u); // one message for each feed that gave nothing
}

TEST_F(RefreshRunTest, ABrokenFeedShiftsOnlyItsOwnHeadlines) {
    // Two "|" in a title give the first feed one field too many, and an error page with a title
    // gives one field; the feed after them must still read title, link, description.
    server.serve("/a.xml", rss("alpha", {"Left | mid | right"}));
    server.serve("/gone.xml", "<html><head><title>404 Not Found</title></head></html>", "text/html",
                 404);
    server.serve("/b.xml", rss("beta", {"B one"}));
    ticker::Form1& bar =
        startOver({server.url("/a.xml"), server.url("/gone.xml"), server.url("/b.xml")});
    bar.form2().Command1.press();
    const Lines items = itemList();
    ASSERT_EQ(items.size() % 3, 1u) << "the list is not whole triples and the sentinel";
    const Lines beta{"beta", "http://beta.test/", "", "B one", "http://beta.test/1", "Story 1",
                     "end"};
    EXPECT_EQ(Lines(items.end() - 7, items.end()), beta);
    // The error page's title still shows, as a heading of its own.
    const auto notFound = std::find(items.begin(), items.end(), "404 Not Found");
    ASSERT_NE(notFound, items.end());
    EXPECT_EQ((notFound - items.begin()) % 3, 0);
}

// Resident bytes of this process.
std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

TEST_F(RefreshRunTest, ALargeFeedLeavesNoLargerProgramBehind) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps freed memory on purpose";
#endif
    // A heading, then 24 MiB that give no fields: what the run holds afterwards is small.
    std::string big = rss("big", {});
    big.insert(big.size() - 18, "<!--" + std::string(24u << 20, 'x') + "-->");
    server.serve("/big.xml", std::move(big));
    server.serve("/small.xml", rss("small", {"S one"}));
    ticker::Form1& bar = startOver({server.url("/small.xml")});
    bar.form2().Command1.press();
    bar.form2().Command2.press();
    const std::size_t before = residentBytes();
    writeLinks({"20", "True", server.url("/big.xml"), server.url("/small.xml")});
    bar.form2().Command2.press();
    ASSERT_EQ(itemList().size(), 10u);
    const std::size_t after = residentBytes();
    EXPECT_LT(after, before + (5u << 20)) << (after - before) / 1024 << " KiB more";
}

TEST_F(RefreshRunTest, AnItemTitledEndSendsTheStripBackToTheStart) {
    server.serve("/a.xml", rss("alpha", {"end", "after"}));
    ticker::Form1& bar = startOver({server.url("/a.xml")});
    bar.form2().Command1.press();
    EXPECT_EQ(itemList()[3], "end");
    bar.ItemIndex = 3;
    bar.LastLaunched = 0;
    bar.Picture1.setLeft(bar.width() - bar.Picture1.width() - 450);
    bar.Timer2_Timer();
    EXPECT_EQ(bar.Label2.caption(), "alpha-->");
}

TEST_F(RefreshRunTest, HugeFeedsStopAtTheListLimitWithRoomForTheSentinel) {
    Lines titles(11000, "Same old story");
    server.serve("/big.xml", rss("big", titles));
    ticker::Form1& bar = startOver({server.url("/big.xml"), server.url("/big.xml")});
    bar.form2().Command1.press();
    ASSERT_EQ(bar.List1.listCount(), forms::ListBox::kMaxEntries);
    EXPECT_EQ(bar.List1.list(forms::ListBox::kMaxEntries - 1), "end");
    bar.form2().Command2.press();
    EXPECT_EQ(bar.List1.listCount(), forms::ListBox::kMaxEntries);
}

} // namespace
} // namespace quill::testing
