// A full-screen window in front for SECONDS (the first argument), as a video player's: a popup
// over the whole monitor, in the foreground. Windows' shell then tells every app bar
// (ABN_FULLSCREENAPP); Wine's does not, so this plays the shell's part for the bar.
#include <cstdlib>
#include <windows.h>

namespace {

// The shell's notifications go to the message each bar registered: the program's.
constexpr UINT kAppBarCallback = WM_USER + 100;
constexpr WPARAM kFullScreenApp = 2; // ABN_FULLSCREENAPP
constexpr UINT_PTR kEnd = 1;

void tellBars(bool open) {
    for (HWND bar = FindWindowExW(nullptr, nullptr, L"QuillmarkForm", nullptr); bar != nullptr;
         bar = FindWindowExW(nullptr, bar, L"QuillmarkForm", nullptr)) {
        if (IsWindowVisible(bar) != FALSE) {
            PostMessageW(bar, kAppBarCallback, kFullScreenApp, open ? 1 : 0);
        }
    }
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kEnd) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    const UINT seconds = static_cast<UINT>(std::atoi(arguments));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"BenchFullScreen";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    tellBars(true);
    SetTimer(window, kEnd, seconds * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    tellBars(false);
    return 0;
}
