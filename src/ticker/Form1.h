#pragma once

#include "appbar/TAppBar.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "ticker/Services.h"
#include "ui/mdlToolTip.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quill::feeds {
class Form2;
}
namespace quill::ui {
class Form3;
}

namespace quill::ticker {

// The bar: nine headline slots scrolling across it, the loading notice, the close and options
// boxes, and the timers that drive the strip and the reloads.
class Form1 : public forms::Form {
public:
    static constexpr int kSlots = 9;

    explicit Form1(Services& services);
    ~Form1() override;

    void Form_Load();
    void getlinks3();
    void Command2_Click();
    void Command3_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer5_Timer();
    void Timer8_Timer();
    void Timer9_Timer();
    // The pointer and the mouse on the bar; n is the headline slot (1 ... 9).
    void LabelN_MouseMove(int n);
    void Form_MouseMove();
    // The bar became seen or unseen (covered, screen blanked or locked).
    void Form_SeenChange();
    void LabelN_Click(int n);
    void Label12_Click();
    void Label13_Click();
    void AppBar_DisplayChanged();

    // The bar's menu under the right button.
    struct MenuEntry {
        forms::MenuItem item;
        void (Form1::*choose)();
    };
    std::vector<MenuEntry> menuEntries() const;
    void Form_RightClick(platform::Point at);
    void mnuReload_Click();
    void mnuPause_Click();
    void mnuOptions_Click();
    void mnuImport_Click();
    void mnuExport_Click();
    void mnuQuit_Click();

    // Shows the notice and reloads every feed; the minute count starts over.
    void reload();
    // The first load is over and no run is in progress.
    bool canReload() const;
    // Starts the strip again after a hold, unless the user paused it.
    void restartMover();
    // Puts the X and Options boxes at the bar's right end.
    void placeBoxes();

    // The title the bar showed for the feed at this address, once loaded.
    std::optional<std::string> channelTitle(const std::string& address) const;

    // Windows created on first use.
    feeds::Form2& form2();
    ui::Form3& form3();

    // Headline slot n (1 ... 9).
    forms::PictureBox& holder(int n) { return *holders_[static_cast<std::size_t>(n - 1)]; }
    forms::Label& headline(int n) { return *headlines_[static_cast<std::size_t>(n - 1)]; }

    forms::PictureBox Picture1{*this, "Picture1", 0, 0, 615, 255};
    forms::Label Label1{Picture1, "Label1", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture2{*this, "Picture2", 0, 0, 615, 255};
    forms::Label Label2{Picture2, "Label2", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture3{*this, "Picture3", 0, 0, 615, 255};
    forms::Label Label3{Picture3, "Label3", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture4{*this, "Picture4", 0, 0, 615, 255};
    forms::Label Label4{Picture4, "Label4", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture5{*this, "Picture5", 0, 0, 615, 255};
    forms::Label Label5{Picture5, "Label5", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture6{*this, "Picture6", 0, 0, 615, 255};
    forms::Label Label6{Picture6, "Label6", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture7{*this, "Picture7", 0, 0, 615, 255};
    forms::Label Label7{Picture7, "Label7", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture8{*this, "Picture8", 0, 0, 615, 255};
    forms::Label Label8{Picture8, "Label8", 0, 0, 480, 195, "Label1", true};
    forms::PictureBox Picture9{*this, "Picture9", 0, 0, 615, 255};
    forms::Label Label9{Picture9, "Label9", 0, 0, 480, 195, "Label1", true};

    // Drawn over the strip: the loading notice and the boxes at the right end.
    forms::PictureBox Picture13{*this, "Picture13", 0, 0, 1550, 255};
    forms::Label Label10{Picture13, "Label10", 0, 0, 1485, 195, "Downloading news...", true};
    forms::PictureBox Picture10{*this, "Picture10", 0, 0, 160, 255};
    forms::Label Label12{Picture10, "Label12", 0, 0, 160, 255, "X", true};
    forms::PictureBox Picture11{*this, "Picture11", 0, 0, 600, 255};
    forms::Label Label13{Picture11, "Label13", 0, -30, 600, 255, "Options", true};

    // Below the visible strip: shared state and entry points.
    forms::ListBox List1{*this, "List1", 0, 3600, 1200, 600};
    forms::Label Label15{*this, "Label15", 1200, 3120, 615, 255, "20", false};
    forms::CommandButton Command2{*this, "Command2", 2000, 3600, 600, 300};
    forms::CommandButton Command3{*this, "Command3", 2700, 3600, 600, 300};

    forms::Timer Timer1{*this, "Timer1", 1, false};
    forms::Timer Timer2{*this, "Timer2", 1, true};
    forms::Timer Timer3{*this, "Timer3", 500, true};
    forms::Timer Timer5{*this, "Timer5", 100, false};
    forms::Timer Timer8{*this, "Timer8", 60000, true};
    forms::Timer Timer9{*this, "Timer9", 60000, true};

    std::unique_ptr<appbar::TAppBar> AppBar;
    std::int32_t MinuteCount = 0;
    int ItemIndex = 0;
    int LastLaunched = 0;
    // Set from the menu: the strip stands until the user resumes it, whatever the pointer does.
    bool ScrollPaused = false;
    std::array<std::string, kSlots + 1> ItemLink;        // slots 1 ... 9
    std::array<std::string, kSlots + 1> ItemDescription; // slots 1 ... 9
    ui::mdlToolTip ToolTip{*this};

private:
    // Counts a minute and starts a reload when the count reads as the interval text.
    void minuteTick();
    void fitHolder(int n);
    // Underlines headline n and no other (none for 0): a hold still waiting further up, or one
    // whose headline the pointer has left, keeps no underline of its own.
    void underlineOnly(int n);
    void applyLook();

    Services& services_;
    // What to tell the user about the links file at start-up, or nothing.
    std::string linksProblem_;
    std::array<forms::PictureBox*, kSlots> holders_;
    std::array<forms::Label*, kSlots> headlines_;
    std::unique_ptr<feeds::Form2> form2_;
    std::unique_ptr<ui::Form3> form3_;
};

} // namespace quill::ticker
