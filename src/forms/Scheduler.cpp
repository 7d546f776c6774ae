#include "forms/Scheduler.h"

#include "forms/Timer.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quill::forms {

double Scheduler::wakeDelay(double due, double now) {
    const double served = std::ceil(due / kShortestPeriod) * kShortestPeriod;
    return std::clamp(std::ceil(served - now), 0.0, double{INT_MAX});
}

void Scheduler::add(Timer& timer) {
    timers_.push_back(&timer);
}

void Scheduler::remove(Timer& timer) {
    std::erase(timers_, &timer);
}

void Scheduler::runDue(double now) {
    // Decide who is due before running anyone: a handler that enables another timer gives it a
    // full period, and one that pumps events must not see this round again.
    std::vector<Timer*> due;
    for (Timer* timer : timers_) {
        if (timer->running() && timer->due_ <= now) {
            due.push_back(timer);
        }
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const Timer* a, const Timer* b) { return a->due_ < b->due_; });
    for (Timer* timer : due) {
        // An earlier handler may have stopped, restarted or destroyed it.
        if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end() ||
            !timer->running() || timer->due_ > now) {
            continue;
        }
        // Keep the phase of the period; periods missed while busy collapse into this one tick.
        const double period = timer->period();
        const double missed = std::floor((now - timer->due_) / period);
        timer->due_ += (missed + 1) * period;
        timer->ticking_ = true;
        if (timer->onTimer) {
            timer->onTimer();
        }
        if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) {
            timer->ticking_ = false;
        }
    }
}

std::optional<double> Scheduler::nextDue() const {
    std::optional<double> next;
    for (const Timer* timer : timers_) {
        if (timer->running() && (!next || timer->due_ < *next)) {
            next = timer->due_;
        }
    }
    return next;
}

} // namespace quill::forms
