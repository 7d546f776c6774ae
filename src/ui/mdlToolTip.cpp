#include "ui/mdlToolTip.h"

#include "ticker/Form1.h"

namespace quill::ui {

bool mdlToolTip::waitWhileResting() {
    platform::Desktop& desktop = form1_.app().desktop();
    platform::Point pointer;
    // A pointer that cannot be read counts as moved, so the strip never stays frozen for it.
    if (!desktop.GetCursorPos(pointer)) {
        return true;
    }
    if (pointer == LastPointerPos) {
        return false;
    }
    for (;;) {
        LastPointerPos = pointer;
        if (!desktop.GetCursorPos(pointer) || pointer != LastPointerPos) {
            return true;
        }
        // Waiting rather than polling: a resting pointer costs nothing; timers tick inside the
        // wait and input ends it early.
        form1_.app().backend().waitForEvents(kLookIntervalMs);
    }
}

void mdlToolTip::HoldOnHeadline(platform::Hwnd, const std::string&, const std::string&, int, int,
                                bool, bool) {
    if (!waitWhileResting()) {
        return;
    }
    form1_.Timer1.setEnabled(true);
    for (int n = 1; n <= ticker::Form1::kSlots; ++n) {
        form1_.headline(n).setUnderline(false);
    }
    RemoveTip();
}

void mdlToolTip::HoldOnBar() {
    if (waitWhileResting()) {
        form1_.Timer1.setEnabled(true);
    }
}

void mdlToolTip::RemoveTip() {
    if (TipWindow == 0) {
        return;
    }
    form1_.app().desktop().ShowWindow(TipWindow, platform::SW_HIDE);
    TipWindow = 0;
}

} // namespace quill::ui
