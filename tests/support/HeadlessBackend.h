#pragma once

#include "forms/Application.h"
#include "forms/Backend.h"
#include "support/FakeDesktop.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
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
    std::optional<std::size_t> popupMenu(platform::Hwnd owner, platform::Point at,
                                         const std::vector<forms::MenuItem>& items) override;
    std::optional<std::filesystem::path> chooseFile(platform::Hwnd owner,
                                                    const forms::FileChoice& choice) override;

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
    struct Menu {
        platform::Hwnd owner;
        platform::Point at;
        std::vector<forms::MenuItem> items;
    };
    std::vector<Menu> menus;
    // Called while a menu is open; returns the caption the user picks, or "" to close it. A
    // disabled item or a separator cannot be picked: the menu then closes without a choice.
    std::function<std::string(const Menu&)> onPopupMenu;
    std::vector<forms::FileChoice> fileChoices;
    // Called while a file chooser is open; nothing means the user cancelled.
    std::function<std::optional<std::filesystem::path>(const forms::FileChoice&)> onChooseFile;
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
