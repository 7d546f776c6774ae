#pragma once

#include <vector>

namespace quill::forms {

// A form's window that compares its controls with how it last showed them and shows the
// difference.
class ChangedWindow {
public:
    virtual void showChanges() = 0;

protected:
    virtual ~ChangedWindow() = default;
};

// Windows that changed while the timers ran, shown together once the timers are done: the strip
// changes every tick, and an event each window posted itself would cost the window system a
// round of its own each tick. Outside the timers each window posts itself that event, so a burst
// of changes is still looked at once it is over.
class ChangesAfterTimers {
public:
    bool collecting() const { return collecting_; }
    void add(ChangedWindow& window) { windows_.push_back(&window); }
    void forget(const ChangedWindow& window) { std::erase(windows_, &window); }

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
    std::vector<ChangedWindow*> windows_;
};

} // namespace quill::forms
