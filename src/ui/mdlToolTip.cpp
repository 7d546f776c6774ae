#include "ui/mdlToolTip.h"

#include "platform/Rects.h"
#include "ticker/Form1.h"
#include "ui/TipText.h"

#include <algorithm>
#include <cmath>

namespace quill::ui {

bool mdlToolTip::pointerOnBar(platform::Point& pointer) {
    // The client area where the pointer's own events are: a layer-shell surface's window rect
    // and the pointer's events do not share an origin.
    platform::Desktop& desktop = form1_.app().desktop();
    platform::Rect bar;
    platform::Point origin;
    return desktop.GetCursorPos(pointer) && desktop.GetClientRect(form1_.hwnd(), bar) &&
           desktop.ClientToScreen(form1_.hwnd(), origin) &&
           platform::intersects(platform::translated(bar, origin),
                                {pointer.x, pointer.y, pointer.x + 1, pointer.y + 1});
}

bool mdlToolTip::waitWhileResting(platform::Hwnd owner, const std::string& description) {
    forms::Backend& backend = form1_.app().backend();
    platform::Point pointer;
    // A pointer that cannot be read, or is not over the bar, counts as moved, so the strip never
    // stays frozen for it: an event can come late, after a window or a menu took the pointer.
    if (!pointerOnBar(pointer)) {
        return true;
    }
    // Only for a hold further up: with none waiting, a pointer back where the last one last
    // looked would leave the strip stopped after it, with no event from the bar to end that.
    if (pointer == LastPointerPos && holdsWaiting_ > 0) {
        return false;
    }
    ++holdsWaiting_;
    struct Done {
        int& holds;
        ~Done() { --holds; }
    } done{holdsWaiting_};
    const double restStart = backend.now();
    bool tipDue = !description.empty();
    for (;;) {
        LastPointerPos = pointer;
        if (!pointerOnBar(pointer) || pointer != LastPointerPos) {
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
