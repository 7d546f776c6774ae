// Form1's handlers for the pointer and clicks on the bar: the hover hold, opening a headline's
// link, and the two boxes at the bar's right end.

#include "ticker/Form1.h"
#include "ui/Form3.h"
#include "ui/WebLink.h"

#include <exception>

namespace quill::ticker {

void Form1::underlineOnly(int n) {
    for (int m = 1; m <= kSlots; ++m) {
        headline(m).setUnderline(m == n);
    }
}

void Form1::LabelN_MouseMove(int n) {
    underlineOnly(n);
    Timer1.setEnabled(false);
    // Windowless holders have no window of their own: the tip would hang on the bar's.
    ToolTip.HoldOnHeadline(hwnd(), ItemDescription[static_cast<std::size_t>(n)], "", 0, 0, true,
                           true);
}

void Form1::Form_MouseMove() {
    underlineOnly(0);
    Timer1.setEnabled(false);
    ToolTip.HoldOnBar();
}

void Form1::LabelN_Click(int n) {
    const std::string& link = ItemLink[static_cast<std::size_t>(n)];
    if (link.empty()) {
        return;
    }
    // Only a web address reaches the browser, and always as one argument.
    if (const auto address = ui::webLink(link)) {
        services_.browser.open(*address);
    }
}

void Form1::Label13_Click() {
    ui::Form3& options = form3();
    options.setVisible(true);
    options.List1.clear();
    getlinks3();
    options.Text2.setText(options.List1.list(0));
    if (options.List1.list(1) == "True") {
        options.Option1.setValue(true);
    }
    if (options.List1.list(1) == "False") {
        options.Option2.setValue(true);
    }
    // The reader fills missing settings lines, so both rows are always there.
    options.List1.removeItem(0);
    options.List1.removeItem(0);
}

void Form1::Label12_Click() {
    if (!AppBar) {
        AppBar = std::make_unique<appbar::TAppBar>(services_.app.desktop(), services_.registry);
    }
    try {
        AppBar->Detach();
    } catch (const std::exception&) {
        // A bar that was never attached has nothing to give back; the program ends all the same.
    }
    services_.exitProgram(0);
}

} // namespace quill::ticker
