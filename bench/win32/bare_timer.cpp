// The floor the Windows bar's figures are read against: a Win32 program whose only work is a
// window timer at the bar's 64 Hz, re-armed on the same 1/64 s grid as the bar's scheduler.
#include <cmath>
#include <windows.h>

namespace {

constexpr double kTickMs = 1000.0 / 64;
LARGE_INTEGER frequency, start;

double elapsedMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

void CALLBACK tick(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    const double now = elapsedMs();
    const double next = (std::floor(now / kTickMs) + 1) * kTickMs;
    SetTimer(window, id, static_cast<UINT>(std::ceil(next - now)), &tick);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetTimer(window, 1, 1, &tick);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
