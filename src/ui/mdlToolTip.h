#pragma once

#include "platform/Desktop.h"

#include <string>

namespace quill::ticker {
class Form1;
}

namespace quill::ui {

// The hover hold: while the pointer rests on the bar the strip stands still and the bar stays
// live; the first movement starts the strip again. Holds nest: an event handled while one
// waits may start another.
class mdlToolTip {
public:
    // Longest time between two looks at the pointer while it rests. Input ends a wait early, so
    // a movement over the bar is seen at once and one elsewhere within this time; each look is a
    // wake-up, which is most of what a resting pointer costs.
    static constexpr int kLookIntervalMs = 250;
    // How long the pointer rests on a headline before its description shows as a tip.
    static constexpr int kTipDelayMs = 500;

    explicit mdlToolTip(ticker::Form1& form1) : form1_(form1) {}

    // Once the pointer has rested kTipDelayMs, the tip text (the item's description) shows
    // beside the owner until the hold ends; title and flags are not used.
    void HoldOnHeadline(platform::Hwnd owner, const std::string& tipText, const std::string& title,
                        int flag1, int flag2, bool flag3, bool flag4);
    void HoldOnBar();
    void RemoveTip();

    // Where the pointer stood at the last look of any hold.
    platform::Point LastPointerPos;
    // The tip window shown for a headline, hidden and forgotten when its hold ends.
    platform::Hwnd TipWindow = 0;

private:
    // Waits until the pointer moves or leaves the bar, showing the description's tip once it has
    // rested long enough. False when it returned at once: the pointer stands where the last look
    // of a hold further up, still waiting, saw it.
    bool waitWhileResting(platform::Hwnd owner = 0, const std::string& description = {});
    void showTip(platform::Hwnd owner, const std::string& description);
    // Reads the pointer; false when that fails or it is not over the bar, however it left.
    bool pointerOnBar(platform::Point& pointer);

    ticker::Form1& form1_;
    int holdsWaiting_ = 0;
};

} // namespace quill::ui
