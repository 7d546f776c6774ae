#include "support/ProgramFixture.h"
#include "ui/Form3.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

struct Form1LoadTest : ProgramFixture, ::testing::Test {
    platform::Rect barRect() {
        platform::Rect rect;
        world.desktop.GetWindowRect(form1->hwnd(), rect);
        return rect;
    }
};

TEST_F(Form1LoadTest, TrueDocksAtTheTopAndAnythingElseAtTheBottom) {
    const std::vector<std::pair<std::vector<std::string>, platform::Rect>> cases = {
        {{"20", "True"}, {0, 0, 1280, 13}},       {{"20", "true"}, {0, 1011, 1280, 1024}},
        {{"20", "False"}, {0, 1011, 1280, 1024}}, {{"20", ""}, {0, 1011, 1280, 1024}},
        {{"20"}, {0, 1011, 1280, 1024}},
    };
    for (const auto& [lines, expected] : cases) {
        ProgramFixture program;
        program.writeLinks(lines);
        ticker::Form1& bar = program.start();
        // Thirteen pixels at once, not only after the shell reports a change.
        platform::Rect rect;
        program.world.desktop.GetWindowRect(bar.hwnd(), rect);
        EXPECT_EQ(rect, expected) << "edge line \"" << (lines.size() > 1 ? lines[1] : "<none>")
                                  << "\"";
        program.world.desktop.notifyBars(platform::ABN_POSCHANGED, 0);
        program.world.desktop.GetWindowRect(bar.hwnd(), rect);
        EXPECT_EQ(rect, expected);
        EXPECT_EQ(bar.AppBar->DockedHeight(), 13);
        // A narrower screen: the bar spans it again, its boxes at the new right end.
        program.world.desktop.screenWidth = 1024;
        program.world.desktop.SendMessage(bar.hwnd(), platform::WM_DISPLAYCHANGE, 32, 0);
        program.world.desktop.GetWindowRect(bar.hwnd(), rect);
        EXPECT_EQ(rect.width(), 1024);
        EXPECT_EQ(bar.Picture10.left() + bar.Picture10.width(), bar.width());
    }
}

TEST_F(Form1LoadTest, TheIntervalLineIsCopiedAsText) {
    for (const std::string interval : {"5", "abc", "", " 20"}) {
        ProgramFixture program;
        program.writeLinks({interval, "True"});
        EXPECT_EQ(program.start().Label15.caption(), interval);
    }
}

TEST_F(Form1LoadTest, AfterLoadTheStripIsParkedAndTheBarStillHidden) {
    writeLinks({"20", "True", "http://feeds.test/a"});
    ticker::Form1& form = start();
    for (int n = 1; n <= ticker::Form1::kSlots; ++n) {
        EXPECT_EQ(form.holder(n).left(), -10000.0f);
    }
    EXPECT_EQ(form.ItemIndex, 3);
    EXPECT_EQ(form.MinuteCount, 0);
    EXPECT_EQ(form.LastLaunched, 0);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_TRUE(form.Timer2.enabled());
    EXPECT_FALSE(form.visible());
    // The options window exists, hidden, holding the file's lines.
    EXPECT_FALSE(form.form3().visible());
    EXPECT_EQ(form.form3().List1.items(),
              (std::vector<std::string>{"20", "True", "http://feeds.test/a"}));
    EXPECT_TRUE(world.backend.boxes.empty());
    // The notice was centred on the window's width before the bar was docked.
    EXPECT_EQ(form.Picture13.left(), 19200.0f / 2 - form.Picture13.width() / 2);
    // Each box shows its whole text, however wide the font, and the boxes start at the right.
    EXPECT_GE(form.Picture13.width(), form.Label10.width());
    EXPECT_GE(form.Picture11.width(), form.Label13.width());
    EXPECT_GE(form.Picture10.width(), form.Label12.width());
    EXPECT_EQ(form.Picture10.left() + form.Picture10.width(), 19200.0f);
    EXPECT_EQ(form.Picture11.left() + form.Picture11.width(), form.Picture10.left());
}

TEST_F(Form1LoadTest, AMissingLinksFileStartsWithDefaultsAndSaysSoOnce) {
    ticker::Form1& form = start();
    EXPECT_EQ(form.Label15.caption(), "20");
    EXPECT_EQ(barRect(), (platform::Rect{0, 1011, 1280, 1024}));
    ASSERT_EQ(world.backend.boxes.size(), 1u);
    EXPECT_NE(world.backend.boxes[0].text.find("was not found"), std::string::npos);
    // The folder it looked in ends the message, on a line of its own.
    const std::u8string folderLine = u8"\n" + folder.path().u8string();
    EXPECT_TRUE(
        world.backend.boxes[0].text.ends_with(std::string(folderLine.begin(), folderLine.end())));
    EXPECT_EQ(world.backend.boxes[0].caption, "Quillmark");
}

TEST_F(Form1LoadTest, Command3RedocksOnTheChosenEdgeKeepingTheThickness) {
    writeLinks({"20", "True"});
    ticker::Form1& form = start();
    form.form3().Option2.setValue(true);
    EXPECT_FALSE(form.form3().Option1.value());
    form.Command3.press();
    EXPECT_EQ(barRect(), (platform::Rect{0, 1011, 1280, 1024}));
    form.form3().Option1.setValue(true);
    form.Command3.press();
    EXPECT_EQ(barRect(), (platform::Rect{0, 0, 1280, 13}));
    EXPECT_EQ(form.AppBar->DockedHeight(), 13);
}

} // namespace
} // namespace quill::testing
