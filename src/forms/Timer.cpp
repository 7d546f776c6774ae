#include "forms/Timer.h"

#include "forms/Application.h"
#include "forms/Form.h"

#include <algorithm>

namespace quill::forms {

Timer::Timer(Form& owner, std::string name, double intervalMs, bool enabled)
    : owner_(owner), name_(std::move(name)), interval_(intervalMs) {
    owner_.app().scheduler().add(*this);
    setEnabled(enabled);
}

Timer::~Timer() {
    owner_.app().scheduler().remove(*this);
    owner_.app().timersChanged();
}

double Timer::period() const {
    return std::max(interval_, Scheduler::kShortestPeriod);
}

void Timer::restart() {
    due_ = owner_.app().backend().now() + period();
    owner_.app().timersChanged();
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return; // enabling a running timer keeps its current period
    }
    enabled_ = enabled;
    if (enabled_) {
        restart();
    } else {
        owner_.app().timersChanged();
    }
}

void Timer::setHeld(bool held) {
    if (held == held_) {
        return;
    }
    held_ = held;
    if (enabled_ && !held_) {
        restart();
    } else {
        owner_.app().timersChanged();
    }
}

void Timer::setInterval(double intervalMs) {
    interval_ = intervalMs;
    if (enabled_) {
        restart();
    }
}

} // namespace quill::forms
