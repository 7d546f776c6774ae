#include "forms/Application.h"

namespace quill::forms {

Application::Application(Backend& backend, platform::Desktop& desktop)
    : backend_(backend), desktop_(desktop) {}

void Application::runDueTimers() {
    scheduler_.runDue(backend_.now());
    timersChanged();
}

void Application::timersChanged() {
    if (auto due = scheduler_.nextDue()) {
        backend_.wakeAt(*due);
    }
}

int Application::messageBox(platform::Hwnd owner, const std::string& text,
                            const std::string& caption, std::uint32_t style) {
    return backend_.messageBox(owner, text, caption, style);
}

} // namespace quill::forms
