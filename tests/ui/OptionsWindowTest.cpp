#include "support/ProgramFixture.h"
#include "ui/Form3.h"
#include "ui/MakerSite.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

constexpr int kScreenHeight = 1024; // the fake desktop's

struct OptionsWindowTest : ProgramFixture, ::testing::Test {
    void startWith(const std::vector<std::string>& lines) {
        writeLinks(lines);
        start();
        options = &form1->form3();
    }
    // "Options" on the bar.
    void openOptions() { form1->Label13.onClick(); }
    void add(const std::string& address) {
        options->Text1.setText(address);
        options->Command3.press();
    }
    platform::Rect barRect() {
        platform::Rect rect;
        world.desktop.GetWindowRect(form1->hwnd(), rect);
        return rect;
    }

    ui::Form3* options = nullptr;
};

TEST_F(OptionsWindowTest, OpeningFillsTheWindowFromTheFile) {
    startWith({"15", "False", "http://a.test/", "http://b.test/"});
    openOptions();
    EXPECT_TRUE(options->visible());
    EXPECT_EQ(options->Text2.text(), "15");
    EXPECT_TRUE(options->Option2.value());
    EXPECT_FALSE(options->Option1.value());
    EXPECT_EQ(options->List1.items(),
              (std::vector<std::string>{"http://a.test/", "http://b.test/"}));
}

TEST_F(OptionsWindowTest, AnAddressAddedAndCancelledIsGoneAtTheNextOpening) {
    startWith({"20", "True", "http://a.test/"});
    openOptions();
    add("http://new.test/");
    EXPECT_EQ(options->List1.items(),
              (std::vector<std::string>{"http://a.test/", "http://new.test/"}));
    EXPECT_EQ(options->Text1.text(), "");
    options->Command1.press();
    EXPECT_FALSE(options->visible());
    openOptions();
    EXPECT_EQ(options->List1.items(), std::vector<std::string>{"http://a.test/"});
}

TEST_F(OptionsWindowTest, OptionsWhileOpenRefillsEverythingButTheEntryField) {
    startWith({"20", "True", "http://a.test/"});
    openOptions();
    add("http://added.test/");
    options->Text2.setText("7");
    options->Option2.setValue(true);
    options->Text1.setText("half typed");
    openOptions();
    EXPECT_EQ(options->List1.items(), std::vector<std::string>{"http://a.test/"});
    EXPECT_EQ(options->Text2.text(), "20");
    EXPECT_TRUE(options->Option1.value());
    EXPECT_EQ(options->Text1.text(), "half typed");
}

TEST_F(OptionsWindowTest, CancelWithTheBottomSelectedLeavesTheBarWhereItIs) {
    startWith({"20", "True"});
    ASSERT_EQ(barRect().top, 0);
    openOptions();
    options->Option2.setValue(true);
    options->Command1.press();
    EXPECT_EQ(barRect().top, 0);
    EXPECT_EQ(form1->AppBar->Edge(), 1);
    openOptions();
    EXPECT_TRUE(options->Option1.value());
}

TEST_F(OptionsWindowTest, AnEdgeLineInLowerCaseLeavesTheOptionsAsTheyWere) {
    startWith({"20", "true"});
    openOptions();
    EXPECT_TRUE(options->Option1.value()); // as designed
    options->Option2.setValue(true);
    options->Command1.press();
    openOptions();
    EXPECT_TRUE(options->Option2.value()); // as last left
    options->Command2.press();
    EXPECT_EQ(folder.read("links.ryx"), "20\r\nFalse\r\n");
    openOptions();
    options->Option1.setValue(true);
    options->Command2.press();
    EXPECT_EQ(folder.read("links.ryx"), "20\r\nTrue\r\n");
}

TEST_F(OptionsWindowTest, ApplyWritesTheIntervalTheEdgeAndEveryRowIncludingEmptyOnes) {
    startWith({"20", "True", "http://a.test/"});
    openOptions();
    add("");
    add("http://a.test/"); // duplicates are kept
    options->Text2.setText("abc");
    options->Command2.press();
    EXPECT_EQ(folder.read("links.ryx"), "abc\r\nTrue\r\nhttp://a.test/\r\n\r\nhttp://a.test/\r\n");
    EXPECT_FALSE(options->visible());
}

TEST_F(OptionsWindowTest, ApplyWithAnEmptyListWritesTwoLines) {
    startWith({"20", "True", "http://a.test/", "http://b.test/"});
    openOptions();
    options->List1.setListIndex(0);
    options->Command4.press();
    options->List1.setListIndex(0);
    options->Command4.press();
    options->Command2.press();
    EXPECT_EQ(folder.read("links.ryx"), "20\r\nTrue\r\n");
}

TEST_F(OptionsWindowTest, RemoveTakesTheSelectedRowAndWithNothingSelectedDoesNothing) {
    startWith({"20", "True", "http://a.test/", "http://b.test/", "http://c.test/"});
    openOptions();
    options->Command4.press();
    EXPECT_EQ(options->List1.listCount(), 3);
    options->List1.setListIndex(1);
    options->Command4.press();
    EXPECT_EQ(options->List1.items(),
              (std::vector<std::string>{"http://a.test/", "http://c.test/"}));
    EXPECT_TRUE(world.backend.boxes.empty());
}

TEST_F(OptionsWindowTest, ApplyMovesTheBarAndChangesTheIntervalAtOnceWithoutAReload) {
    startWith({"20", "True", serveFeed("a", {"one"})});
    world.backend.advance(1000); // the first load
    const std::vector<std::string> items = itemList();
    const std::size_t fetches = http.requested.size();
    openOptions();
    options->Option2.setValue(true);
    options->Text2.setText("5");
    add("http://later.test/");
    options->Command2.press();
    EXPECT_EQ(form1->Label15.caption(), "5");
    EXPECT_EQ(form1->AppBar->Edge(), 3);
    EXPECT_EQ(barRect().bottom, kScreenHeight);
    EXPECT_EQ(barRect().height(), 13);
    EXPECT_EQ(http.requested.size(), fetches);
    EXPECT_EQ(itemList(), items);
}

TEST_F(OptionsWindowTest, UnsavableSettingsApplyForThisSessionAndSaySoWithTheReason) {
    startWith({"20", "True", "http://a.test/"});
    const std::string before = folder.read("links.ryx");
    std::filesystem::create_directory(folder.path() / "links.ryx.new");
    openOptions();
    add("http://b.test/");
    options->Option2.setValue(true);
    options->Text2.setText("7");
    options->Command2.press();
    // What the user chose is in effect...
    EXPECT_EQ(form1->AppBar->Edge(), 3);
    EXPECT_EQ(barRect().bottom, kScreenHeight);
    EXPECT_EQ(form1->Label15.caption(), "7");
    // ...and the message says exactly that, with the file and the reason.
    ASSERT_EQ(world.backend.boxes.size(), 1u);
    const auto& box = world.backend.boxes[0];
    EXPECT_EQ(box.caption, "Quillmark");
    EXPECT_NE(box.text.find((folder.path() / "links.ryx").string()), std::string::npos);
    EXPECT_NE(box.text.find("in effect until Quillmark ends"), std::string::npos) << box.text;
    // The system's reason, whatever its wording, stands in brackets after the file.
    const auto reason = box.text.find("could not be written (");
    ASSERT_NE(reason, std::string::npos) << box.text;
    EXPECT_GT(box.text.size(), reason + std::string("could not be written ().").size()) << box.text;
    EXPECT_EQ(box.text.find("previous settings"), std::string::npos) << box.text;
    EXPECT_EQ(folder.read("links.ryx"), before);
    // The edits stay on screen to be applied again.
    EXPECT_TRUE(options->visible());
    EXPECT_EQ(options->List1.listCount(), 2);
}

TEST_F(OptionsWindowTest, TheMakersLinksOpenItsPages) {
    startWith({"20", "True"});
    options->Label3.onClick();
    options->Label5.onClick();
    EXPECT_EQ(browser.opened, (std::vector<std::string>{ui::kMakerHomePage, ui::kMakerLinksPage}));
}

TEST_F(OptionsWindowTest, TheCloseBoxDetachesTheBarAndEndsTheProgram) {
    writeLinks({"20", "True"});
    form1 = std::make_unique<ticker::Form1>(services);
    const std::intptr_t ownProcedure =
        world.desktop.GetWindowLong(form1->hwnd(), platform::GWL_WNDPROC);
    form1->Form_Load();
    ASSERT_NE(world.desktop.GetWindowLong(form1->hwnd(), platform::GWL_WNDPROC), ownProcedure);
    world.desktop.shellMessages.clear();
    form1->Label12.onClick();
    const auto& sent = world.desktop.shellMessages;
    EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [](const auto& message) {
        return message.first == platform::ABM_REMOVE;
    }));
    EXPECT_EQ(world.desktop.registered.count(form1->hwnd()), 0u);
    EXPECT_EQ(world.desktop.GetWindowLong(form1->hwnd(), platform::GWL_WNDPROC), ownProcedure);
    EXPECT_EQ(exitCodes, std::vector<int>{0});
}

TEST_F(OptionsWindowTest, TheCloseBoxEndsTheProgramEvenWithoutAnAttachedBar) {
    startWith({"20", "True"});
    form1->AppBar->Detach();
    form1->AppBar.reset();
    form1->Label12.onClick();
    EXPECT_NE(form1->AppBar, nullptr);
    EXPECT_EQ(exitCodes, std::vector<int>{0});
}

} // namespace
} // namespace quill::testing
