#include "BarFixture.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

struct HeadlineClickTest : BarFixture, ::testing::Test {
    void clickOn(int n) {
        const forms::PictureBox& holder = form1->holder(n);
        const forms::Label& label = form1->headline(n);
        form1->clickAt(holder.left() + label.width() / 2, label.height() / 2);
    }
};

TEST_F(HeadlineClickTest, AChannelHeaderOpensTheChannelsLink) {
    startShowing();
    ASSERT_EQ(form1->Label1.caption(), "news-->");
    clickOn(1);
    EXPECT_EQ(browser.opened, std::vector<std::string>{feed});
    clickOn(2);
    EXPECT_EQ(browser.opened, (std::vector<std::string>{feed, feed + "/1"}));
}

TEST_F(HeadlineClickTest, ASlotNeverFilledOpensNothing) {
    startShowing();
    ASSERT_LT(form1->LastLaunched, 9);
    form1->Label9.onClick();
    EXPECT_TRUE(browser.opened.empty());
}

TEST_F(HeadlineClickTest, AClickDuringAHoldOpensTheLinkAndTheStripStaysStill) {
    startShowing();
    pointAt(300, 6);
    after(1000, [&] { world.backend.post([&] { clickOn(2); }); });
    after(2000, [&] {
        EXPECT_EQ(browser.opened, std::vector<std::string>{feed + "/1"});
        EXPECT_FALSE(form1->Timer1.enabled());
        EXPECT_EQ(underlined(), std::vector<int>{2});
        pointAt(301, 6);
    });
    moveOver(2);
    EXPECT_TRUE(form1->Timer1.enabled());
}

TEST_F(HeadlineClickTest, AWebLinkReachesTheBrowserAsOneArgumentUnchanged) {
    startShowing();
    for (const std::string link : {"http://feeds.test/a b  c?q=1 2", "HTTPS://Feeds.Test/x",
                                   "hTtP://[::1]:8080/p", "https://user@host.test/;x"}) {
        browser.opened.clear();
        form1->ItemLink[3] = link;
        form1->Label3.onClick();
        EXPECT_EQ(browser.opened, std::vector<std::string>{link});
    }
}

TEST_F(HeadlineClickTest, BlanksAroundALinkFromAFeedAreSetAside) {
    startShowing();
    form1->ItemLink[3] = "   http://feeds.test/item \t";
    form1->Label3.onClick();
    EXPECT_EQ(browser.opened, std::vector<std::string>{"http://feeds.test/item"});
}

TEST_F(HeadlineClickTest, AnythingButAnHttpOrHttpsAddressIsNotOpened) {
    startShowing();
    for (const std::string link :
         {"file:///etc/passwd", "javascript:alert(1)", "-oProxyCommand=x", "ftp://x",
          "http//missing-colon", "http:/one-slash", "http://", "https:///path", "http://user@/x",
          "http://:80/", "news/item.html", "http://bad host/", "http://x.test/\nsecond",
          "mailto:a@b.test", "httpx://x.test/"}) {
        form1->ItemLink[3] = link;
        form1->Label3.onClick();
        EXPECT_TRUE(browser.opened.empty()) << link;
        browser.opened.clear();
    }
}

} // namespace
} // namespace quill::testing
