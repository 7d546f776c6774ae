#pragma once

#include "forms/Backend.h"
#include "forms/Scheduler.h"
#include "platform/Desktop.h"

#include <cstdint>
#include <string>

namespace quill::forms {

// The one user-interface thread's context: the backend, the desktop it runs on and its timers.
class Application {
public:
    Application(Backend& backend, platform::Desktop& desktop);

    Backend& backend() { return backend_; }
    platform::Desktop& desktop() { return desktop_; }
    Scheduler& scheduler() { return scheduler_; }

    float twipsPerPixelX() { return backend_.twipsPerPixelX(); }
    float twipsPerPixelY() { return backend_.twipsPerPixelY(); }

    // Backends call this when the time they were asked to wake at has come.
    void runDueTimers();
    // A timer started, stopped or changed period: the backend's wake-up moves.
    void timersChanged();
    // Processes every pending event and returns.
    void doEvents() { backend_.pumpEvents(); }
    // A modal box; returns the button pressed (1 for OK).
    int messageBox(platform::Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t style);

private:
    Backend& backend_;
    platform::Desktop& desktop_;
    Scheduler scheduler_;
};

} // namespace quill::forms
