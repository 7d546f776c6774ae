#include "ui/Form3.h"

#include "feeds/LinksFile.h"
#include "ticker/Form1.h"
#include "ui/MakerSite.h"

#include <string>
#include <vector>

namespace quill::ui {

namespace {

constexpr forms::Color kLinkBlue{0, 0, 192};

void styleAsLink(forms::Label& label) {
    forms::Font font = label.font();
    font.underline = true;
    label.setFont(font);
    label.setForeColor(kLinkBlue);
}

} // namespace

Form3::Form3(Services& services, ticker::Form1& form1)
    : forms::Form(services.app, "Form3", "Options", 10635, 3255),
      Label3(Frame1, "Label3", 6600, 2520, 1695, 255, kMakerSite, false),
      Label5(*this, "Label5", 1440, 3000, 7455, 255,
             std::string("To learn more about adding news to this list please click this link (or "
                         "visit ") +
                 kMakerSite + "/links1.htm)",
             false),
      services_(services), form1_(form1) {
    styleAsLink(Label3);
    styleAsLink(Label5);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Label3.onClick = [this] { Label3_Click(); };
    Label5.onClick = [this] { Label5_Click(); };
}

void Form3::Command1_Click() {
    setVisible(false);
}

void Form3::Command2_Click() {
    form1_.Label15.setCaption(Text2.text());
    std::vector<std::string> lines{Text2.text(), Option1.value() ? "True" : "False"};
    lines.insert(lines.end(), List1.items().begin(), List1.items().end());
    const auto file = services_.folder / feeds::kLinksFileName;
    const std::error_code error = feeds::writeLinesFile(file, lines, services_.codePage);
    const bool saved = !error;
    form1_.Command3.press();
    if (!saved) {
        services_.app.messageBox(hwnd(),
                                 "The changes are in effect until Quillmark ends, but they could "
                                 "not be saved: " +
                                     feeds::describeWriteFailure(file, error),
                                 kProgramTitle, platform::MB_ICONEXCLAMATION);
    }
    // Unsaved edits stay on screen, so they can be applied again.
    if (saved) {
        setVisible(false);
    }
}

void Form3::Command3_Click() {
    List1.addItem(Text1.text());
    Text1.setText("");
}

void Form3::Command4_Click() {
    // With nothing selected there is nothing to remove, and nothing to say.
    List1.removeItem(List1.listIndex());
}

void Form3::Label3_Click() {
    services_.browser.open(kMakerHomePage);
}

void Form3::Label5_Click() {
    services_.browser.open(kMakerLinksPage);
}

} // namespace quill::ui
