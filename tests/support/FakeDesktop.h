#pragma once

#include "platform/Desktop.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quill::testing {

using namespace quill::platform;

// A window system and app-bar shell in memory. It records every call, plays the shell's side
// (trimming against other bars, one auto-hide bar per edge, notifications) and lets tests stand
// in for the user.
class FakeDesktop : public Desktop {
public:
    struct Window {
        Rect rect;
        bool visible = false;
        std::intptr_t style = 0;
        std::intptr_t exStyle = 0;
        WndProc proc = nullptr;
        Hwnd zOrder = HWND_TOP; // the last insert-after it was given
        std::set<std::uintptr_t> timers;
        std::vector<std::uint32_t> deletedMenuItems;
    };
    struct BoxShown {
        Hwnd owner;
        std::string text, caption;
        std::uint32_t style;
    };

    FakeDesktop();
    ~FakeDesktop() override;

    // A top-level window, hidden, with the form's own procedure (which records what reaches it).
    Hwnd createWindow(const Rect& rect);
    Window& window(Hwnd hwnd) { return windows_.at(hwnd); }
    const Window& window(Hwnd hwnd) const { return windows_.at(hwnd); }

    // Another program's bar, already docked: it owns `rect` on `edge`.
    void addForeignBar(std::uint32_t edge, const Rect& rect);
    // Sends the callback message with a shell notification to every registered bar.
    void notifyBars(WParam code, LParam lParam);

    // Everything the program asked of the desktop, one line per call, e.g. "SetWindowPos ...",
    // and "OwnProc 0x47" when a message reaches a window's own procedure.
    std::vector<std::string> calls;
    // Messages that reached a window's own procedure.
    std::vector<std::uint32_t> ownProcMessages;
    std::vector<BoxShown> boxes;
    // The shell's messages with their records as sent, in order.
    std::vector<std::pair<std::uint32_t, AppBarData>> shellMessages;
    std::map<Hwnd, Rect> reserved; // strips granted by ABM_SETPOS
    std::set<Hwnd> registered;
    std::map<std::uint32_t, Hwnd> autoHideBars;

    int screenWidth = 1280, screenHeight = 1024;
    bool dragFullWindows = true;
    std::uint32_t tickCount = 1000;
    std::uint32_t tickStep = 16; // every tick-count read moves time on, so slides end
    Point cursor;
    std::uint32_t messagePos = 0;
    std::int16_t controlKeyState = 0;
    Hwnd activeWindow = 0;
    LResult ownNcHitTestResult = 1; // HTCLIENT
    // Bars on the neighbouring edges narrow a query too (left/right bars a top/bottom strip and
    // the reverse), as a shell that gives the corners to the bars already there.
    bool trimAcrossEdges = false;
    // The Desktop call of this name throws std::runtime_error, for tests of failure paths.
    std::string failingCall;

    std::uintptr_t SHAppBarMessage(std::uint32_t message, AppBarData& data) override;
    std::intptr_t GetWindowLong(Hwnd window, int index) override;
    std::intptr_t SetWindowLong(Hwnd window, int index, std::intptr_t value) override;
    LResult CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message, WParam wParam,
                           LParam lParam) override;
    LResult SendMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) override;
    bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    bool ShowWindow(Hwnd window, int command) override;
    bool IsWindowVisible(Hwnd window) override;
    bool UpdateWindow(Hwnd window) override;
    bool GetWindowRect(Hwnd window, Rect& rect) override;
    bool GetClientRect(Hwnd window, Rect& rect) override;
    bool ClientToScreen(Hwnd window, Point& point) override;
    bool SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t milliseconds) override;
    bool KillTimer(Hwnd window, std::uintptr_t id) override;
    int GetSystemMetrics(int index) override;
    bool GetWorkArea(Rect& rect) override;
    bool GetDragFullWindows() override;
    bool GetCursorPos(Point& point) override;
    std::uint32_t GetMessagePos() override;
    std::int16_t GetKeyState(int virtualKey) override;
    Hwnd GetActiveWindow() override;
    Hmenu GetSystemMenu(Hwnd window, bool revert) override;
    bool DeleteMenu(Hmenu menu, std::uint32_t item, std::uint32_t flags) override;
    int MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    std::uint32_t GetTickCount() override;
    std::uint32_t RegisterWindowMessage(const std::string&) override { return 0; }

private:
    static LResult ownProcedure(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);
    void trim(Hwnd bar, std::uint32_t edge, Rect& rect) const;
    // Delivery and reads inside the fake, which a failing call does not affect.
    LResult deliver(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);
    std::intptr_t windowLong(Hwnd window, int index) const;
    void failIfAsked(const char* call) const;
    void log(std::string line) { calls.push_back(std::move(line)); }

    std::map<Hwnd, Window> windows_;
    std::map<Hwnd, std::uint32_t> barEdges_;
    std::map<Hwnd, std::uint32_t> callbackMessages_;
    Hwnd nextHwnd_ = 0x100;
};

} // namespace quill::testing
