#pragma once

#include <optional>
#include <vector>

namespace quill::forms {

class Timer;

// Every window timer of the program, with classic window-timer semantics: enabling starts a full
// period, enabling a running timer keeps its period, disabling discards it, and a timer that came
// due while the thread was busy ticks once, not once per missed period.
class Scheduler {
public:
    // The platform's shortest period (1/64 s); shorter intervals are raised to it.
    static constexpr double kShortestPeriod = 15.625;
    // Whole milliseconds from `now` until the clock tick that serves a wake-up asked for `due`.
    // Rounded up: waking early would find nothing due and ask again at once.
    static double wakeDelay(double due, double now);

    void add(Timer& timer);
    void remove(Timer& timer);
    // Ticks every timer that is due at `now`, once each, earliest first, creation order on ties.
    void runDue(double now);
    std::optional<double> nextDue() const;

private:
    std::vector<Timer*> timers_; // creation order
};

} // namespace quill::forms
