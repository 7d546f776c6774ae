#pragma once

#include <functional>
#include <string>

namespace quill::forms {

class Form;

class Timer {
public:
    Timer(Form& owner, std::string name, double intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    double interval() const { return interval_; }
    // A new interval on a running timer starts a full new period, as on Windows.
    void setInterval(double intervalMs);
    // A held timer keeps its enabled state, and enabling or disabling it works as usual, but it
    // neither ticks nor counts the periods that pass; released, an enabled one starts a full
    // period, as if it had just been enabled.
    bool held() const { return held_; }
    void setHeld(bool held);

    std::function<void()> onTimer;

private:
    friend class Scheduler;
    double period() const;
    // Enabled, not held, and not inside its own handler.
    bool running() const { return enabled_ && !held_ && !ticking_; }
    void restart();

    Form& owner_;
    std::string name_;
    double interval_;
    bool enabled_ = false;
    bool held_ = false;
    bool ticking_ = false; // a handler that pumps events does not tick itself again
    double due_ = 0;
};

} // namespace quill::forms
