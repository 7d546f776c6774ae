#pragma once

#include "forms/Application.h"
#include "forms/Backend.h"
#include "support/FakeDesktop.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quill::testing {

// Forms without a display: a virtual clock, fixed font metrics (7 px a character, 13 px high,
// 15 twips a pixel) and message boxes answered by the test.
class HeadlessBackend : public forms::Backend {
public:
    static constexpr int kCharWidth = 7;
    static constexpr int kTextHeight = 13;

    explicit HeadlessBackend(FakeDesktop& desktop) : desktop_(desktop) {}
    void attach(forms::Application& app) { app_ = &app; }

    std::unique_ptr<forms::FormPeer> createFormPeer(forms::Form& form) override;
    forms::TextSize measureText(const forms::Font& font, std::string_view utf8) override;
    float twipsPerPixelX() override { return 15; }
    float twipsPerPixelY() override { return 15; }
    double now() override { return now_; }
    void wakeAt(double milliseconds) override { wakeAt_ = milliseconds; }
    void pumpEvents() override;
    void waitForEvents(int timeoutMilliseconds) override;
    int messageBox(platform::Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    // One window for every tip, as a front end reuses its tool-tip window.
    platform::Hwnd showTip(platform::Hwnd owner, platform::Point pointer,
                           const std::string& text) override;

    // Lets time pass with the thread idle: every timer ticks when it comes due.
    void advance(double milliseconds);
    // Lets time pass with the thread busy: timers come due but nothing runs.
    void spend(double milliseconds) { now_ += milliseconds; }
    // Runs at the next pump, as a queued input event would.
    void post(std::function<void()> event) { pending_.push_back(std::move(event)); }

    struct Box {
        platform::Hwnd owner;
        std::string text, caption;
        std::uint32_t style;
    };
    std::vector<Box> boxes;
    // Called while a box is open (the user reads it; timers may tick); returns the answer.
    std::function<int(const Box&)> onMessageBox;
    // Calls of waitForEvents so far.
    int waits = 0;
    // Runs at the start of every pump, as the user acting while the thread pumps would.
    std::function<void()> onPump;
    struct Tip {
        platform::Hwnd owner;
        platform::Point pointer;
        std::string text;
        double shownAt;
    };
    std::vector<Tip> tips;
    platform::Hwnd tipWindow = 0;
    // Immediate repaints asked for, by control name.
    std::map<std::string, int> repaints;

private:
    FakeDesktop& desktop_;
    forms::Application* app_ = nullptr;
    double now_ = 0;
    double wakeAt_ = 0;
    std::deque<std::function<void()>> pending_;
};

// A desktop, a backend and the application over them, ready for forms.
struct HeadlessWorld {
    HeadlessWorld() { backend.attach(app); }
    FakeDesktop desktop;
    HeadlessBackend backend{desktop};
    forms::Application app{backend, desktop};
};

} // namespace quill::testing
