#include "ticker/Form1.h"

#include "feeds/Form2.h"
#include "feeds/LinksFile.h"
#include "forms/Twips.h"
#include "ticker/BarColours.h"
#include "ticker/HeadlineCut.h"
#include "ui/Form3.h"

#include <algorithm>
#include <utility>

namespace quill::ticker {

namespace {

constexpr float kParked = -10000;
constexpr int kMoverRepeats = 12;
constexpr float kInnerEntryBound = 400;
constexpr float kOuterEntryBound = 500;
constexpr float kWidthMargin = 40;
constexpr float kHeightMargin = 45;
constexpr const char* kMarker = "-->";
constexpr const char* kSentinel = "end";
constexpr float kBoxMargin = 90;
constexpr float kBarThickness = 195;

void colour(forms::PictureBox& box, forms::Label& label, forms::Color back, forms::Color text) {
    forms::Font font = label.font();
    font.pixelSize = kBarFontPixels;
    label.setFont(font);
    label.setBackColor(back);
    label.setForeColor(text);
    box.setBackColor(back);
}

} // namespace

Form1::Form1(Services& services)
    : forms::Form(services.app, "Form1", "Form1", 19200, 4200, forms::BorderStyle::None),
      services_(services), holders_{&Picture1, &Picture2, &Picture3, &Picture4, &Picture5,
                                    &Picture6, &Picture7, &Picture8, &Picture9},
      headlines_{&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9} {
    applyLook();
    for (int n = 1; n <= kSlots; ++n) {
        headline(n).onChange = [this, n] { fitHolder(n); };
        headline(n).onMouseMove = [this, n] { LabelN_MouseMove(n); };
        headline(n).onClick = [this, n] { LabelN_Click(n); };
    }
    onMouseMove = [this] { Form_MouseMove(); };
    onRightClick = [this](platform::Point at) { Form_RightClick(at); };
    onSeenChange = [this] { Form_SeenChange(); };
    Label12.onClick = [this] { Label12_Click(); };
    Label13.onClick = [this] { Label13_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
    Timer5.onTimer = [this] { Timer5_Timer(); };
    Timer8.onTimer = [this] { Timer8_Timer(); };
    Timer9.onTimer = [this] { Timer9_Timer(); };
}

Form1::~Form1() = default;

void Form1::applyLook() {
    setBackColor(kBarBackground);
    for (int n = 1; n <= kSlots; ++n) {
        colour(holder(n), headline(n), kBarBackground, kHeadlineText);
    }
    colour(Picture13, Label10, kBarBackground, kNoticeText);
    colour(Picture10, Label12, kCloseBackground, kBoxText);
    colour(Picture11, Label13, kOptionsBackground, kBoxText);
    // The boxes were sized for a narrower font than most systems have: they grow to show their
    // whole text, and stand at the right end until the first load places them there again.
    for (auto [box, label] : {std::pair{&Picture13, &Label10}, std::pair{&Picture10, &Label12},
                              std::pair{&Picture11, &Label13}}) {
        box->setWidth(std::max(box->width(), label->width() + kBoxMargin));
    }
    Picture10.setLeft(designWidth() - Picture10.width());
    Picture11.setLeft(designWidth() - Picture10.width() - Picture11.width());
}

feeds::Form2& Form1::form2() {
    if (!form2_) {
        form2_ = std::make_unique<feeds::Form2>(services_, *this);
    }
    return *form2_;
}

ui::Form3& Form1::form3() {
    if (!form3_) {
        form3_ = std::make_unique<ui::Form3>(services_, *this);
    }
    return *form3_;
}

void Form1::getlinks3() {
    ui::Form3& options = form3();
    feeds::LinksFile file =
        feeds::readLinksFile(services_.folder / feeds::kLinksFileName, services_.codePage);
    linksProblem_ = feeds::describeLinksProblem(file, services_.folder / feeds::kLinksFileName);
    for (const std::string& line : file.lines) {
        options.List1.addItem(line);
    }
}

void Form1::Form_Load() {
    Picture13.setLeft(width() / 2 - Picture13.width() / 2);
    getlinks3();
    MinuteCount = 0;
    Label15.setCaption(form3().List1.list(0));
    ItemIndex = 3;
    setVisible(false);
    if (!AppBar) {
        AppBar = std::make_unique<appbar::TAppBar>(services_.app.desktop(), services_.registry);
    }
    AppBar->Extends(*this);
    AppBar->DisplayChanged = [this] { AppBar_DisplayChanged(); };
    setVisible(false);
    AppBar->setEdge(form3().List1.list(1) == "True" ? 1 : 3);
    setVisible(false);
    // 13 pixels at 96 dpi, in the pixels the shell speaks: where the program knows the screen's
    // density (Windows), that many more.
    AppBar->setDockedHeight(forms::twipsToPixels(kBarThickness, services_.app.twipsPerPixelY()));
    // Docked once more so the thickness holds now: a shell that tells a bar nothing about its
    // own strip (Windows' does not) would otherwise leave it at the default 32 pixels.
    AppBar->UpdateBar();
    setVisible(false);
    for (int n = 1; n <= kSlots; ++n) {
        holder(n).setLeft(kParked);
    }
    Timer1.setEnabled(true);
    if (!linksProblem_.empty()) {
        services_.app.messageBox(hwnd(), linksProblem_, kProgramTitle,
                                 platform::MB_ICONINFORMATION);
    }
}

void Form1::Command3_Click() {
    if (form3().Option1.value()) {
        AppBar->setEdge(1);
    }
    if (form3().Option2.value()) {
        AppBar->setEdge(3);
    }
}

void Form1::placeBoxes() {
    const float right = width();
    Picture10.setLeft(right - Picture10.width());
    Picture11.setLeft(right - Picture10.width() - Picture11.width());
}

void Form1::AppBar_DisplayChanged() {
    // Placed once by the first load, they would stay mid-bar or past the end of a new screen.
    placeBoxes();
}

void Form1::Command2_Click() {
    Label1.setCaption(shownHeadline(List1.list(0)) + kMarker);
    ItemLink[1] = List1.list(1);
    ItemDescription[1] = List1.list(2);
    Picture1.setLeft(width());
}

void Form1::Timer1_Timer() {
    // Twelve single steps per holder: the same result as the step-by-step loop, one repaint each.
    for (int n = 1; n <= kSlots; ++n) {
        float left = holder(n).left();
        for (int step = 0; step < kMoverRepeats; ++step) {
            left -= 1;
        }
        holder(n).setLeft(left);
    }
}

void Form1::Timer2_Timer() {
    // Read once a tick: the window's width comes from the desktop, and nothing here changes it.
    const float windowWidth = width();
    for (int n = 1; n <= kSlots; ++n) {
        const float holderWidth = holder(n).width();
        const float left = holder(n).left();
        const float inner = windowWidth - holderWidth - kInnerEntryBound;
        const float outer = windowWidth - holderWidth - kOuterEntryBound;
        if (!(inner > left && outer < left)) {
            continue;
        }
        const int m = n % kSlots + 1;
        if (LastLaunched == m) {
            return;
        }
        // Past the end of a list that a reload shortened, reading starts over too.
        if (ItemIndex >= List1.listCount() || List1.list(ItemIndex) == kSentinel) {
            ItemIndex = 0;
        }
        headline(m).setCaption(shownHeadline(List1.list(ItemIndex)));
        if (List1.list(ItemIndex + 2).empty()) {
            headline(m).setCaption(headline(m).caption() + kMarker);
        }
        ++ItemIndex;
        ItemLink[static_cast<std::size_t>(m)] = List1.list(ItemIndex);
        ++ItemIndex;
        ItemDescription[static_cast<std::size_t>(m)] = List1.list(ItemIndex);
        ++ItemIndex;
        holder(m).setLeft(windowWidth);
        LastLaunched = m;
    }
}

void Form1::Form_SeenChange() {
    // No one saw the strip move: it stands where it is, and goes on from there when it can be
    // seen again. The minute timers and reloads keep their schedule.
    Timer1.setHeld(!seen());
    Timer2.setHeld(!seen());
}

void Form1::fitHolder(int n) {
    holder(n).setWidth(headline(n).width() + kWidthMargin);
    holder(n).setHeight(headline(n).height() + kHeightMargin);
    holder(n).setBackColor(headline(n).backColor());
}

void Form1::Timer3_Timer() {
    setVisible(true);
    Timer3.setEnabled(false);
    Timer5.setEnabled(true);
}

void Form1::Timer5_Timer() {
    // The first load blocks the thread: the notice must be on screen before it starts.
    Picture13.refresh();
    Label10.refresh();
    form2().Command1.press();
    Timer5.setEnabled(false);
}

void Form1::reload() {
    Picture13.setVisible(true);
    Label10.setVisible(true);
    Picture13.refresh();
    Label10.refresh();
    form2().Command2.press();
    MinuteCount = -1;
}

bool Form1::canReload() const {
    // The worker exists once the first load has started; it runs to its end before anything
    // else can ask, except from within its own message boxes.
    return form2_ && !form2_->running();
}

void Form1::restartMover() {
    Timer1.setEnabled(!ScrollPaused);
}

void Form1::minuteTick() {
    ++MinuteCount;
    if (Label15.caption() == std::to_string(MinuteCount)) {
        reload();
    }
}

void Form1::Timer8_Timer() {
    minuteTick();
    Timer8.setEnabled(false);
    Timer9.setEnabled(true);
}

void Form1::Timer9_Timer() {
    minuteTick();
    Timer8.setEnabled(true);
    Timer9.setEnabled(false);
}

} // namespace quill::ticker
