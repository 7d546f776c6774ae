#pragma once

#include "platform/Desktop.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace quill::testing {

// Wine shows windows on an X display; without one there is no desktop to test.
bool displayAvailable();

// Dispatches this thread's messages until done() holds or the time-out passes; returns done().
bool pumpMessagesUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A shown top-level popup window (no frame, so its client area is the whole window), made
// with CreateWindowExW. Its own procedure records what reaches it and answers a message from
// WM_APP on with wParam + 1.
class TestWindow {
public:
    struct Received {
        std::uint32_t message;
        platform::WParam wParam;
    };

    explicit TestWindow(const platform::Rect& rect, std::intptr_t extraStyle = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    platform::Hwnd hwnd() const { return hwnd_; }

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
