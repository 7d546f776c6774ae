// The bar's headers first: the Windows headers' macros would rename what they declare.
#include "platform/win32/Win32Desktop.h"
#include "support/QuietForm1.h"
#include "support/StripSequence.h"

// Then the Windows headers.
#include "Win32World.h"
#include "forms/win32/FormWindow.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace quill::testing {
namespace {

// The client area's pixels as drawn on `source` (the window's own device context, or one it
// printed into).
class ClientPixels {
public:
    ClientPixels(HDC reference, SIZE size) : size_(size) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size.cx;
        info.bmiHeader.biHeight = -size.cy; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(reference);
        bitmap_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~ClientPixels() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    ClientPixels(const ClientPixels&) = delete;
    ClientPixels& operator=(const ClientPixels&) = delete;

    HDC dc() const { return dc_; }
    std::uint32_t at(int x, int y) const {
        GdiFlush();
        return static_cast<const std::uint32_t*>(bits_)[y * size_.cx + x] & 0xffffff;
    }

private:
    SIZE size_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// The bar on the Win32 backend, docked through the shell as the program docks it: its window's
// pixels as shown against the same window printed whole, outside the native controls, which
// paint themselves.
class StripTest : public ::testing::Test {
protected:
    StripTest() { backend.attach(app); }

    void SetUp() override {
        if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
            GTEST_SKIP() << "no X display for Wine's windows";
        }
    }

    ::testing::AssertionResult sameAsPrinted(const forms::Form& form) {
        const HWND hwnd = toHwnd(form.hwnd());
        RECT client{};
        GetClientRect(hwnd, &client);
        const SIZE size{client.right, client.bottom};
        HDC screen = GetDC(hwnd);
        ClientPixels shown(screen, size);
        ClientPixels printed(screen, size);
        BitBlt(shown.dc(), 0, 0, size.cx, size.cy, screen, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, screen);
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);

        std::vector<RECT> natives;
        for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            if (IsWindowVisible(child) && GetWindowRect(child, &rect)) {
                MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
                natives.push_back(rect);
            }
        }
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                const POINT at{x, y};
                const bool native = std::any_of(natives.begin(), natives.end(),
                                                [&](const RECT& r) { return PtInRect(&r, at); });
                if (!native && shown.at(x, y) != printed.at(x, y)) {
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << ", " << y << ") differs";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    platform::win32::Win32Desktop desktop;
    forms::win32::Win32Backend backend;
    forms::Application app{backend, desktop};
};

TEST_F(StripTest, EveryTickShowsWhatAFullRepaintShows) {
    QuietForm1 bar(app);
    ticker::Form1& form1 = *bar.form1;
    backend.pumpEvents();
    const auto& window = dynamic_cast<const forms::win32::FormWindow&>(form1.peer());
    const HWND hwnd = toHwnd(form1.hwnd());
    StripSequence strip(form1,
                        {[this] { backend.pumpEvents(); },
                         [&] { return sameAsPrinted(form1); },
                         [&] { return window.drawnPixels(); },
                         [&] {
                             RECT client{};
                             GetClientRect(hwnd, &client);
                             return static_cast<long long>(client.right) * client.bottom;
                         },
                         // The window's own pixels are read, wherever the window manager has it.
                         {}});
    strip.runEverySequence();
}

} // namespace
} // namespace quill::testing
