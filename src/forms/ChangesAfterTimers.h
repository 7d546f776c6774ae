#pragma once

#include <vector>

namespace quill::forms::win32 {

class FormWindow;

// Forms that changed while the timers ran, shown together once the timers are done: the strip
// changes every tick, and a message each form posted itself would cost the window system two
// calls a tick. Outside the timers each form posts itself that message, so a burst of changes is
// still looked at once it is over.
class ChangesAfterTimers {
public:
    bool collecting() const { return collecting_; }
    void add(FormWindow& form) { forms_.push_back(&form); }
    void forget(const FormWindow& form) { std::erase(forms_, &form); }

    // Runs the timers collecting; what they changed is shown after, unless an outer run shows it.
    template <typename Timers> void run(Timers&& timers) {
        const bool outer = collecting_;
        collecting_ = true;
        timers();
        collecting_ = outer;
        if (!outer) {
            showAll();
        }
    }

    // A loop run from a timer's handler first shows what the timers changed so far; changes made
    // within it then show themselves as they come.
    template <typename Loop> void outside(Loop&& loop) {
        const bool outer = collecting_;
        if (outer) {
            showAll();
            collecting_ = false;
        }
        loop();
        collecting_ = outer;
    }

private:
    void showAll();

    bool collecting_ = false;
    std::vector<FormWindow*> forms_;
};

} // namespace quill::forms::win32
