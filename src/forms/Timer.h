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

    std::function<void()> onTimer;

private:
    friend class Scheduler;
    double period() const;
    void restart();

    Form& owner_;
    std::string name_;
    double interval_;
    bool enabled_ = false;
    bool ticking_ = false; // a handler that pumps events does not tick itself again
    double due_ = 0;
};

} // namespace quill::forms
