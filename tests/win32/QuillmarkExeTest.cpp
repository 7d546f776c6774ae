#include "ScriptedServer.h"
#include "TestWindow.h"
#include "forms/win32/Fonts.h"
#include "platform/win32/Wide.h"
#include "support/TempFolder.h"
#include "ticker/BarColours.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <shellapi.h>
#include <vector>
#include <windows.h>

// quillmark.exe as a person runs it: in a folder with its files, on Wine's desktop and shell,
// reading feeds from a local server. What it shows is read back from the screen.

namespace quill::testing {
namespace {

using Clock = std::chrono::steady_clock;

COLORREF toColorRef(forms::Color color) {
    return RGB(color.r, color.g, color.b);
}

// Screen pixels, top row first, as 0x00RRGGBB.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    friend bool operator==(const Picture&, const Picture&) = default;
};

Picture capture(HDC source, int x, int y, int width, int height) {
    Picture picture{width, height, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(first, first + static_cast<std::size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (auto& pixel : picture.pixels) {
        pixel &= 0xFFFFFF;
    }
    return picture;
}

Picture captureScreen(int width, int height) {
    HDC screen = GetDC(nullptr);
    Picture picture = capture(screen, 0, 0, width, height);
    ReleaseDC(nullptr, screen);
    return picture;
}

std::uint32_t rgb(forms::Color color) {
    return (std::uint32_t{color.r} << 16) | (std::uint32_t{color.g} << 8) | color.b;
}

// Where a text differs from the bar behind it, cut to the text's extent.
struct InkMask {
    int width = 0, height = 0;
    std::vector<bool> ink;
};

InkMask inkOf(const Picture& picture, std::uint32_t background) {
    InkMask mask{picture.width, picture.height, {}};
    for (auto pixel : picture.pixels) {
        mask.ink.push_back(pixel != background);
    }
    return mask;
}

// The headline text as the bar's font and colours draw it.
InkMask renderedHeadline(const std::wstring& text, int dpi, const std::string& face) {
    forms::win32::Fonts fonts(dpi);
    forms::Font font;
    font.family = face;
    font.pixelSize = ticker::kBarFontPixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const int width = 600, height = 40;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, fonts.get(font));
    RECT all{0, 0, width, height};
    SetBkColor(memory, toColorRef(ticker::kBarBackground));
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetTextColor(memory, toColorRef(ticker::kHeadlineText));
    SetBkMode(memory, TRANSPARENT);
    TextOutW(memory, 0, 0, text.c_str(), static_cast<int>(text.size()));
    const InkMask whole = inkOf(capture(memory, 0, 0, width, height), rgb(ticker::kBarBackground));
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (whole.ink[static_cast<std::size_t>(y) * width + x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    InkMask cut{right - left + 1, bottom - top + 1, {}};
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            cut.ink.push_back(whole.ink[static_cast<std::size_t>(y) * width + x]);
        }
    }
    return cut;
}

// Whether the text's ink stands somewhere in the picture exactly as rendered.
bool shows(const InkMask& picture, const InkMask& text) {
    for (int top = 0; top + text.height <= picture.height; ++top) {
        for (int left = 0; left + text.width <= picture.width; ++left) {
            bool same = true;
            for (int y = 0; y < text.height && same; ++y) {
                for (int x = 0; x < text.width && same; ++x) {
                    same =
                        picture.ink[static_cast<std::size_t>(top + y) * picture.width + left + x] ==
                        text.ink[static_cast<std::size_t>(y) * text.width + x];
                }
            }
            if (same) {
                return true;
            }
        }
    }
    return false;
}

struct FoundWindow {
    DWORD process;
    HWND hwnd;
};

BOOL CALLBACK findBar(HWND hwnd, LPARAM found) {
    auto& wanted = *reinterpret_cast<FoundWindow*>(found);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    wchar_t caption[16]{};
    GetWindowTextW(hwnd, caption, 16);
    if (process == wanted.process && std::wstring(caption) == L"Form1") {
        wanted.hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

void click(int x, int y) {
    SetCursorPos(x, y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// The top strip the shell would give a new bar now.
LONG freeTopOfScreen() {
    TestWindow window({0, 0, 100, 20});
    APPBARDATA data{};
    data.cbSize = sizeof data;
    data.hWnd = reinterpret_cast<HWND>(window.hwnd());
    data.uCallbackMessage = WM_USER + 51;
    data.uEdge = ABE_TOP;
    SHAppBarMessage(ABM_NEW, &data);
    data.rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SHAppBarMessage(ABM_QUERYPOS, &data);
    SHAppBarMessage(ABM_REMOVE, &data);
    return data.rc.top;
}

// Takes a bar off the shell's list (a shell that starts again has an empty one).
void forgetBar(HWND bar) {
    APPBARDATA data{};
    data.cbSize = sizeof data;
    data.hWnd = bar;
    SHAppBarMessage(ABM_REMOVE, &data);
}

// quillmark.exe started from the folder it was copied to; if a test leaves it running, its bar is
// taken off Wine's shell (which would keep it) and the process ends.
class RunningProgram {
public:
    explicit RunningProgram(const std::filesystem::path& folder) {
        std::wstring commandLine = L"quillmark.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        const std::filesystem::path program = folder / "quillmark.exe";
        started_ =
            CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                           0, nullptr, folder.wstring().c_str(), &startup, &process_) != FALSE;
    }
    ~RunningProgram() {
        if (!started_) {
            return;
        }
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            if (HWND bar = find(); bar != nullptr) {
                forgetBar(bar);
            }
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, INFINITE);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return started_; }
    HWND find() const {
        FoundWindow found{process_.dwProcessId, nullptr};
        EnumWindows(&findBar, reinterpret_cast<LPARAM>(&found));
        return found.hwnd;
    }
    // Waits until done() holds, the program ends or the time-out passes; returns done().
    bool waitUntil(const std::function<bool()>& done, std::chrono::seconds timeout) const {
        const auto deadline = Clock::now() + timeout;
        while (!done()) {
            if (Clock::now() > deadline ||
                WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) {
                return done();
            }
        }
        return true;
    }
    std::optional<DWORD> exitCodeWithin(std::chrono::milliseconds time) const {
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(time.count())) !=
            WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

std::string feedWith(const std::string& title) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
           "<title>Wire</title><link>http://127.0.0.1/</link><description>News</description>"
           "<item><title>" +
           title +
           "</title><link>http://127.0.0.1/1</link><description>Story</description></item>"
           "</channel></rss>";
}

struct Density {
    DWORD dpi;
    int bar;          // the docked bar's thickness in pixels
    std::string face; // what the prefix resolves the bar's Microsoft Sans Serif to
};

// Test names show the density, not the structure's bytes, padding included.
void PrintTo(const Density& density, std::ostream* out) {
    *out << density.dpi << "dpi_" << density.face.substr(0, density.face.find(' '));
}

// Wine at a density, with a message font as tall as Segoe UI's and the bar's face named rather
// than left to this machine's Wine; the prefix's 96 dpi and default fonts come back after.
class QuillmarkExeTest : public ::testing::TestWithParam<Density> {
protected:
    static constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
    static constexpr const wchar_t* kMetrics = L"Control Panel\\Desktop\\WindowMetrics";
    static constexpr const wchar_t* kSubstitutes =
        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

    void SetUp() override {
        // Per-monitor aware: this process reads the program's windows in the screen's pixels.
        using SetContext = HANDLE(WINAPI*)(HANDLE);
        if (auto set = reinterpret_cast<SetContext>(reinterpret_cast<void (*)()>(
                GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")))) {
            set(reinterpret_cast<HANDLE>(-3));
        }
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &GetParam().dpi, 4);
        LOGFONTW tall{};
        tall.lfHeight = -12;
        lstrcpyW(tall.lfFaceName, L"Noto Sans");
        RegSetKeyValueW(HKEY_CURRENT_USER, kMetrics, L"MessageFont", REG_BINARY, &tall,
                        sizeof tall);
        const std::wstring face = platform::win32::widen(GetParam().face);
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSubstitutes, L"Microsoft Sans Serif", REG_SZ,
                        face.c_str(), static_cast<DWORD>((face.size() + 1) * sizeof(wchar_t)));
    }
    void TearDown() override {
        const DWORD standard = 96;
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &standard, 4);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kMetrics, L"MessageFont");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSubstitutes, L"Microsoft Sans Serif");
    }
};

TEST_P(QuillmarkExeTest, DocksScrollsDrawsWholeLettersAtItsDensityAndEndsWithItsCloseBox) {
    if (!displayAvailable()) {
        GTEST_SKIP() << "no X display for Wine's windows";
    }
    const int kBarHeight = GetParam().bar;
    ASSERT_EQ(freeTopOfScreen(), 0) << "another bar holds the top of the screen";
    const std::wstring title = L"Z\u00FCrich \u2013 caf\u00E9 gjpqy";
    ScriptedServer server;
    server.serve("/wire.xml", feedWith(platform::win32::narrow(title)));
    TempFolder folder;
    folder.write("links.ryx", "20\r\nTrue\r\n" + server.url("/wire.xml") + "\r\n");
    folder.write("rep.ini", "\r\n");
    // Unpacked where other files bear system DLLs' names, as in a Downloads folder.
    std::filesystem::copy_file(QUILL_BINARY_DIR "/src/quillmark.exe",
                               folder.path() / "quillmark.exe");
    for (const char* planted : {"wininet.dll", "wtsapi32.dll"}) {
        folder.write(planted, "planted");
    }
    // The pointer away from the bar, which holds the strip while it rests there.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetCursorPos(screenWidth / 2, GetSystemMetrics(SM_CYSCREEN) / 2);

    RunningProgram program(folder.path());
    ASSERT_TRUE(program.started());
    RECT rect{};
    const bool docked = program.waitUntil(
        [&] {
            HWND bar = program.find();
            return bar != nullptr && IsWindowVisible(bar) && GetWindowRect(bar, &rect) &&
                   rect.left == 0 && rect.top == 0 && rect.right == screenWidth &&
                   rect.bottom == kBarHeight;
        },
        std::chrono::seconds(20));
    ASSERT_TRUE(docked) << "the bar lies at " << rect.left << "," << rect.top << " to "
                        << rect.right << "," << rect.bottom << ", not docked along the top";
    EXPECT_EQ(freeTopOfScreen(), kBarHeight);
    // No taskbar button: an owned window has one only with WS_EX_APPWINDOW.
    const HWND bar = program.find();
    EXPECT_TRUE(GetWindow(bar, GW_OWNER) != nullptr) << "the bar has no owner";
    EXPECT_EQ(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    // A restarted shell knows no bar until the bar registers again.
    forgetBar(bar);
    ASSERT_EQ(freeTopOfScreen(), 0);
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(program.waitUntil([&] { return freeTopOfScreen() == kBarHeight; },
                                  std::chrono::seconds(20)))
        << "the bar did not register again when the shell started";

    // The bar is drawn edge to edge with no frame: its first and last rows are the bar's own.
    const InkMask wanted = renderedHeadline(title, GetParam().dpi, GetParam().face);
    const InkMask mangled =
        renderedHeadline(L"Z?rich ? caf? gjpqy", GetParam().dpi, GetParam().face);
    Picture seen;
    const bool titleShown = program.waitUntil(
        [&] {
            seen = captureScreen(screenWidth, kBarHeight);
            return shows(inkOf(seen, rgb(ticker::kBarBackground)), wanted);
        },
        std::chrono::seconds(40));
    EXPECT_TRUE(titleShown) << "the title never showed as the bar's font draws it";
    EXPECT_FALSE(shows(inkOf(seen, rgb(ticker::kBarBackground)), mangled));

    // The strip moves: a later picture of it differs.
    const Picture before = captureScreen(screenWidth, kBarHeight);
    EXPECT_TRUE(program.waitUntil([&] { return captureScreen(screenWidth, kBarHeight) != before; },
                                  std::chrono::seconds(2)));

    // The close box is the red one at the right end, the options box left of it.
    int closeLeft = -1, optionsLeft = -1;
    for (int x = 0; x < screenWidth; ++x) {
        const std::uint32_t pixel = seen.at(x, kBarHeight - 1);
        closeLeft = closeLeft < 0 && pixel == rgb(ticker::kCloseBackground) ? x : closeLeft;
        optionsLeft = optionsLeft < 0 && pixel == rgb(ticker::kOptionsBackground) ? x : optionsLeft;
    }
    ASSERT_GT(closeLeft, screenWidth / 2) << "no close box at the bar's right end";
    ASSERT_GT(optionsLeft, screenWidth / 2) << "no options box beside it";
    // The headlines' descenders stay inside the bar, off its edges.
    for (int x = 0; x < optionsLeft; ++x) {
        ASSERT_TRUE(seen.at(x, 0) == seen.at(x, kBarHeight - 1) &&
                    seen.at(x, 0) == rgb(ticker::kBarBackground))
            << "ink on the bar's edge";
    }
    // On its caption, which alone takes the click; it starts at the box's left.
    click(closeLeft + 2, kBarHeight / 2);
    EXPECT_EQ(program.exitCodeWithin(std::chrono::seconds(10)), DWORD{0});
    EXPECT_EQ(freeTopOfScreen(), 0) << "the bar's strip was not given back";
}

// Under the two faces the Linux bar is tested with; Noto Sans has Segoe UI's tall line.
INSTANTIATE_TEST_SUITE_P(
    Densities, QuillmarkExeTest,
    ::testing::Values(Density{96, 13, "Noto Sans"}, Density{144, 20, "Noto Sans"},
                      Density{192, 26, "Noto Sans"}, Density{96, 13, "DejaVu Sans"},
                      Density{144, 20, "DejaVu Sans"}, Density{192, 26, "DejaVu Sans"}));

} // namespace
} // namespace quill::testing
