#include "ui/mdlToolTip.h"

#include "ticker/Form1.h"
#include "ui/TipText.h"

#include <algorithm>
#include <cmath>

namespace quill::ui {

bool mdlToolTip::waitWhileResting(platform::Hwnd owner, const std::string& description) {
    platform::Desktop& desktop = form1_.app().desktop();
    forms::Backend& backend = form1_.app().backend();
    platform::Point pointer;
    // A pointer that cannot be read counts as moved, so the strip never stays frozen for it.
    if (!desktop.GetCursorPos(pointer)) {
        return true;
    }
    if (pointer == LastPointerPos) {
        return false;
    }
    const double restStart = backend.now();
    bool tipDue = !description.empty();
    for (;;) {
        LastPointerPos = pointer;
        if (!desktop.GetCursorPos(pointer) || pointer != LastPointerPos) {
            return true;
        }
        // Shown once: a tip standing over a resting pointer needs nothing more.
        const double rested = backend.now() - restStart;
        if (tipDue && rested >= kTipDelayMs) {
            tipDue = false;
            showTip(owner, description);
        }
        // Waiting rather than polling: a resting pointer costs nothing; timers tick inside the
        // wait and input ends it early. A tip still to come is not left waiting for the next look.
        const int untilTip = static_cast<int>(std::ceil(kTipDelayMs - rested));
        backend.waitForEvents(tipDue ? std::clamp(untilTip, 1, kLookIntervalMs) : kLookIntervalMs);
    }
}

void mdlToolTip::showTip(platform::Hwnd owner, const std::string& description) {
    const std::string text = tipText(description);
    if (text.empty()) {
        return;
    }
    RemoveTip(); // one tip at a time, whoever showed the last
    TipWindow = form1_.app().backend().showTip(owner, LastPointerPos, text);
}

void mdlToolTip::HoldOnHeadline(platform::Hwnd owner, const std::string& description,
                                const std::string&, int, int, bool, bool) {
    if (!waitWhileResting(owner, description)) {
        return;
    }
    form1_.restartMover();
    for (int n = 1; n <= ticker::Form1::kSlots; ++n) {
        form1_.headline(n).setUnderline(false);
    }
    RemoveTip();
}

void mdlToolTip::HoldOnBar() {
    if (waitWhileResting()) {
        form1_.restartMover();
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
