#pragma once

#include "platform/Desktop.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quill::testing {

// Wine shows windows on an X display; without one there is no desktop to test.
bool displayAvailable();

// Dispatches this thread's messages until done() holds or the time-out passes; returns done().
bool pumpMessagesUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Input as a person gives it, through Wine's input queue.
void moveCursorTo(const platform::Point& point);
void pressKey(int virtualKey, bool down);
// Activates a window of this thread.
void activate(platform::Hwnd window);

// What a message box showed, in UTF-8: its caption and the texts of its controls.
struct SeenMessageBox {
    std::string caption;
    std::vector<std::string> texts;
};

// Reads the next message box this thread shows, from a thread timer that runs inside the
// box's own message loop, then presses its OK button. One at a time.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::optional<SeenMessageBox>& seen() const { return seen_; }
    // For the timer.
    void answer(platform::Hwnd box);

private:
    std::uintptr_t timer_ = 0;
    std::optional<SeenMessageBox> seen_;
};

// A shown top-level popup window (no frame, so its client area is the whole window), made
// with CreateWindowExW. Its own procedure records what reaches it.
class TestWindow {
public:
    // WM_APP + 7, which the own procedure answers with wParam + 1.
    static constexpr std::uint32_t kProbe = 0x8000 + 7;
    struct Received {
        std::uint32_t message;
        platform::WParam wParam;
    };

    explicit TestWindow(const platform::Rect& rect, std::intptr_t extraStyle = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    platform::Hwnd hwnd() const { return hwnd_; }
    // WS_EX_TOPMOST, as the system has it.
    bool topmost() const;

    bool hasReceived(std::uint32_t message, platform::WParam wParam) const;
    void forgetReceived() { received_.clear(); }
    // For the window's own procedure.
    void receive(std::uint32_t message, platform::WParam wParam) {
        received_.push_back({message, wParam});
    }

private:
    platform::Hwnd hwnd_ = 0;
    std::vector<Received> received_;
};

} // namespace quill::testing
