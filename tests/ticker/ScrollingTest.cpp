#include "support/ProgramFixture.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

constexpr float kWindow = 19200; // the docked bar is the screen's 1280 pixels wide

struct ScrollingTest : ProgramFixture, ::testing::Test {
    ScrollingTest() {
        writeLinks({"20", "False"});
        start();
        form1->Timer3.setEnabled(false); // no first load: the tests fill the item list
    }
    void fill(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            form1->List1.addItem(line);
        }
    }
    // Lets the strip run until slot `slot` has been launched.
    void runUntilLaunched(int slot) {
        for (int i = 0; i < 100000 && form1->LastLaunched != slot; ++i) {
            world.backend.advance(15.625);
        }
        ASSERT_EQ(form1->LastLaunched, slot);
    }
    // Places holder 1 so that its right edge is `gap` twips in from the window's right edge.
    void placeHolder1(float gap) {
        form1->Picture1.setLeft(kWindow - form1->Picture1.width() - gap);
    }
};

const std::vector<std::string> kOneFeed{"Chan", "http://c", "",         "Item 1", "http://1",
                                        "d1",   "Item 2",   "http://2", "d2",     "end"};

TEST_F(ScrollingTest, OneFeedWithTwoItemsCyclesThroughTheListWithMarkers) {
    fill(kOneFeed);
    form1->Command2.press();
    EXPECT_EQ(form1->Label1.caption(), "Chan-->");
    EXPECT_EQ(form1->ItemLink[1], "http://c");
    EXPECT_EQ(form1->Picture1.left(), kWindow);

    runUntilLaunched(2);
    EXPECT_EQ(form1->Label2.caption(), "Item 1");
    EXPECT_EQ(form1->ItemLink[2], "http://1");
    EXPECT_EQ(form1->ItemDescription[2], "d1");
    runUntilLaunched(3);
    EXPECT_EQ(form1->Label3.caption(), "Item 2");
    EXPECT_EQ(form1->ItemIndex, 9);
    runUntilLaunched(4);
    EXPECT_EQ(form1->Label4.caption(), "Chan-->");
    EXPECT_EQ(form1->ItemLink[4], "http://c");
    EXPECT_EQ(form1->ItemIndex, 3);
}

TEST_F(ScrollingTest, ATitleOfMoreThan300CharactersShowsCutAndTheNextEntersWithinAMinute) {
    std::string accented300;
    for (int i = 0; i < 300; ++i) {
        accented300 += "\xC3\xA9";
    }
    const std::string page(1'000'000, 'x');
    const std::string ellipsis = "\xE2\x80\xA6";
    fill({accented300 + "\xC3\xA9", "http://c", "", accented300, "http://1", "d1", page, "http://2",
          page, "After", "http://3", "d3", "end"});
    form1->Command2.press();
    EXPECT_EQ(form1->Label1.caption(), accented300 + ellipsis + "-->");
    runUntilLaunched(2);
    EXPECT_EQ(form1->Label2.caption(), accented300);
    runUntilLaunched(3);
    EXPECT_EQ(form1->Label3.caption(), std::string(300, 'x') + ellipsis);
    EXPECT_EQ(form1->ItemLink[3], "http://2"); // the tip and the link stay whole
    EXPECT_EQ(form1->ItemDescription[3], page);
    const double entered = world.backend.now();
    runUntilLaunched(4);
    EXPECT_EQ(form1->Label4.caption(), "After");
    EXPECT_LT(world.backend.now() - entered, 60'000);
}

TEST_F(ScrollingTest, HeadlinesFollowEachOtherAtAGapOf400To412Twips) {
    fill(kOneFeed);
    form1->Command2.press();
    runUntilLaunched(2);
    const float gap = form1->Picture2.left() - (form1->Picture1.left() + form1->Picture1.width());
    EXPECT_GT(gap, 400);
    EXPECT_LE(gap, 412);
    // A launched holder enters fitted to its text, marker included.
    EXPECT_EQ(form1->Picture2.width(), form1->Label2.width() + 40);
    EXPECT_EQ(form1->Picture2.height(), form1->Label2.height() + 45);
    EXPECT_EQ(form1->Label1.width(), 7.0f * 15 * 7); // "Chan-->" is 7 characters
}

TEST_F(ScrollingTest, AnItemWithAnEmptyDescriptionCarriesTheMarker) {
    fill({"Chan", "http://c", "", "Plain", "http://p", "", "end"});
    form1->Command2.press();
    runUntilLaunched(2);
    EXPECT_EQ(form1->Label2.caption(), "Plain-->");
}

TEST_F(ScrollingTest, ExactlyFourHundredOrFiveHundredTwipsDoNotLaunch) {
    fill(kOneFeed);
    form1->Command2.press();
    for (const float gap : {400.0f, 500.0f}) {
        placeHolder1(gap);
        form1->Timer2_Timer();
        EXPECT_EQ(form1->LastLaunched, 0) << gap;
    }
    for (const float gap : {401.0f, 499.0f}) {
        form1->LastLaunched = 0;
        placeHolder1(gap);
        form1->Timer2_Timer();
        EXPECT_EQ(form1->LastLaunched, 2) << gap;
    }
}

TEST_F(ScrollingTest, AHolderThatAlreadyLaunchedItsSuccessorEndsTheTick) {
    fill(kOneFeed);
    form1->Command2.press();
    placeHolder1(450);
    form1->Picture5.setWidth(615);
    form1->Picture5.setLeft(kWindow - 615 - 450); // would launch slot 6
    form1->LastLaunched = 2;
    form1->Timer2_Timer();
    EXPECT_EQ(form1->LastLaunched, 2);
    EXPECT_EQ(form1->Label6.caption(), "Label1");
}

TEST_F(ScrollingTest, AHeldStripLaunchesNothingAndThenResumesInOrder) {
    fill(kOneFeed);
    form1->Command2.press();
    runUntilLaunched(2);
    form1->Timer1.setEnabled(false);
    const float left = form1->Picture2.left();
    world.backend.advance(30000);
    EXPECT_EQ(form1->LastLaunched, 2);
    EXPECT_EQ(form1->ItemIndex, 6);
    EXPECT_EQ(form1->Picture2.left(), left);
    form1->Timer1.setEnabled(true);
    runUntilLaunched(3);
    EXPECT_EQ(form1->Label3.caption(), "Item 2");
    runUntilLaunched(4);
    EXPECT_EQ(form1->Label4.caption(), "Chan-->");
}

TEST_F(ScrollingTest, AnUnseenStripStandsWhileMinutesGoOnAndThenMovesOnWithTheNextItem) {
    fill(kOneFeed);
    form1->Command2.press();
    runUntilLaunched(2);
    const float left = form1->Picture2.left();
    const int minutes = form1->MinuteCount;
    form1->seenChanged(false);
    world.backend.advance(120000);
    EXPECT_EQ(form1->Picture2.left(), left);
    EXPECT_EQ(form1->LastLaunched, 2);
    EXPECT_EQ(form1->MinuteCount, minutes + 3); // the double tick of the first minute, then one
    form1->seenChanged(true);
    world.backend.advance(15.625);
    EXPECT_EQ(form1->Picture2.left(), left - 12);
    runUntilLaunched(3);
    EXPECT_EQ(form1->Label3.caption(), "Item 2");
}

TEST_F(ScrollingTest, AListShorterThanTheReadPositionStartsOverAtItsBeginning) {
    fill({"A", "http://a", "", "A1", "http://a1", "x", "A2", "http://a2", "y", "A3", "http://a3",
          "z", "end"});
    form1->Command2.press();
    runUntilLaunched(4); // ItemIndex stands at 12, on "end" of the old list
    form1->ItemIndex = 9;
    form1->List1.clear(); // a reload left a shorter list
    fill({"B", "http://b", "", "B1", "http://b1", "w", "end"});
    runUntilLaunched(5);
    EXPECT_EQ(form1->Label5.caption(), "B-->");
    EXPECT_EQ(form1->ItemIndex, 3);
}

TEST_F(ScrollingTest, ParkedHoldersNeverEnterTheBand) {
    fill(kOneFeed);
    world.backend.advance(10000); // no restart yet
    EXPECT_EQ(form1->LastLaunched, 0);
    EXPECT_EQ(form1->ItemIndex, 3);
}

} // namespace
} // namespace quill::testing
