#include "BarFixture.h"
#include "ui/Form3.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

struct BarMenuTest : BarFixture, ::testing::Test {
    // A right click on the bar with the user picking `caption` ("" closes the menu).
    void choose(const std::string& caption) {
        world.backend.onPopupMenu = [caption](const HeadlessBackend::Menu&) { return caption; };
        form1->rightClickAt({640, 1010});
    }
    // The item as the last menu showed it.
    forms::MenuItem shown(const std::string& caption) const {
        for (const forms::MenuItem& item : world.backend.menus.back().items) {
            if (item.caption == caption) {
                return item;
            }
        }
        ADD_FAILURE() << "no menu item " << caption;
        return {};
    }
    std::size_t fetches() const { return http.requested.size(); }
};

TEST_F(BarMenuTest, ReloadNowRunsOnceWithTheNoticeAndLeavesTheStripWhereItWas) {
    startShowing();
    const std::size_t before = fetches();
    const std::vector<float> lefts = holderLefts();
    const int position = form1->ItemIndex;
    bool noticeDuringRun = false;
    http.onFetch = [&](const std::string&) { noticeDuringRun = form1->Picture13.visible(); };
    choose("Reload now");
    EXPECT_EQ(fetches(), before + 1);
    EXPECT_TRUE(noticeDuringRun);
    EXPECT_FALSE(form1->Picture13.visible());
    EXPECT_EQ(holderLefts(), lefts);
    EXPECT_EQ(form1->ItemIndex, position);
    // The minute count starts over as after a timed reload: the next one comes at the end of the
    // twentieth minute, not the nineteenth.
    world.backend.advance(19.5 * 60000 - now());
    EXPECT_EQ(fetches(), before + 1);
    world.backend.advance(60000);
    EXPECT_EQ(fetches(), before + 2);
}

TEST_F(BarMenuTest, ReloadNowIsDisabledBeforeTheFirstLoadAndDuringARun) {
    http.bodies["http://feeds.test/broken"] = "<html>Not here</html>";
    writeLinks({"20", "True", "http://feeds.test/broken"});
    start();
    choose("Reload now");
    EXPECT_FALSE(shown("Reload now").enabled);
    // The broken feed's message box lets input in while the first load is still running.
    world.backend.onMessageBox = [&](const HeadlessBackend::Box&) {
        choose("Reload now");
        EXPECT_FALSE(shown("Reload now").enabled);
        form1->mnuReload_Click(); // as a menu opened before the run would
        return 1;
    };
    world.backend.advance(1000);
    EXPECT_EQ(fetches(), 1u);
    world.backend.onMessageBox = nullptr;
    choose("Reload now");
    EXPECT_EQ(fetches(), 2u);
}

TEST_F(BarMenuTest, APauseHoldsTheStripThroughAHoverHoldUntilResumed) {
    startShowing();
    choose("Pause scrolling");
    choose("");
    EXPECT_TRUE(shown("Pause scrolling").checked);
    const std::vector<float> lefts = holderLefts();
    pointAt(300, 6);
    after(1000, [&] { pointAt(305, 6); });
    moveOver(2);
    EXPECT_TRUE(underlined().empty()); // the hold did end
    world.backend.advance(1000);
    EXPECT_EQ(holderLefts(), lefts);

    choose("Pause scrolling");
    world.backend.advance(100);
    EXPECT_LT(form1->Picture1.left() + form1->Picture2.left(), lefts[0] + lefts[1]);
}

TEST_F(BarMenuTest, OptionsOpensTheFilledWindowAndQuitLeavesTheShellAndEnds) {
    startShowing();
    choose("Options…");
    EXPECT_TRUE(form1->form3().visible());
    EXPECT_EQ(form1->form3().List1.items(), std::vector<std::string>{feed});
    EXPECT_TRUE(exitCodes.empty());
    ASSERT_EQ(world.desktop.registered.count(form1->hwnd()), 1u);
    choose("Quit");
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(world.desktop.registered.count(form1->hwnd()), 0u);
}

} // namespace
} // namespace quill::testing
