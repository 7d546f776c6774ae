#include "platform/win32/ShellBrowser.h"

#include "platform/win32/Wide.h"
#include "support/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <windows.h>

// The shell opens an address with the handler the user's registry names for its scheme; here
// that handler is a recorder that writes down how it was started.

namespace quill::testing {
namespace {

namespace fs = std::filesystem;

// The recorder as the handler of http and https addresses, for the test's length. Wine looks
// handlers up in the machine's classes only; the prefix is the build's own.
class RecordingHandler {
public:
    RecordingHandler() {
        const fs::path recorder = QUILL_BINARY_DIR "/tests/record_arguments.exe";
        const std::wstring command = L"\"" + recorder.wstring() + L"\" \"%1\"";
        for (const wchar_t* scheme : {L"http", L"https"}) {
            const std::wstring key =
                std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
            saved_.push_back({key, read(key)});
            write(key, command);
        }
    }
    ~RecordingHandler() {
        for (const auto& [key, command] : saved_) {
            write(key, command);
        }
    }
    RecordingHandler(const RecordingHandler&) = delete;
    RecordingHandler& operator=(const RecordingHandler&) = delete;

private:
    static std::wstring read(const std::wstring& key) {
        wchar_t value[1024]{};
        DWORD size = sizeof value;
        RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size);
        return value;
    }
    static void write(const std::wstring& key, const std::wstring& command) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }

    std::vector<std::pair<std::wstring, std::wstring>> saved_;
};

// The lines the recorder wrote for one opened address: how its window was to be shown, then
// its arguments. Empty when nothing was started within the time-out.
std::vector<std::string> open(const std::string& url, const TempFolder& folder) {
    const fs::path record = folder.path() / "opened.txt";
    fs::remove(record);
    SetEnvironmentVariableW(L"QUILL_RECORD_FILE", record.wstring().c_str());
    platform::win32::ShellBrowser().open(url);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<std::string> lines;
    std::ifstream file(record, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ShellBrowserTest, TheHandlerGetsTheAddressAsOneArgumentAndAMaximisedWindow) {
    RecordingHandler handler;
    TempFolder folder;
    const std::string maximised = std::to_string(SW_SHOWMAXIMIZED);
    EXPECT_EQ(open("http://127.0.0.1/news?id=1&page=2#top", folder),
              (std::vector<std::string>{maximised, "http://127.0.0.1/news?id=1&page=2#top"}));
    EXPECT_EQ(open("https://127.0.0.1/Z\xC3\xBCrich%20news", folder),
              (std::vector<std::string>{maximised, "https://127.0.0.1/Z\xC3\xBCrich%20news"}));
    // Quotes and white space cannot split a hostile link into options for the browser: they
    // travel percent-encoded, as a browser would send them anyway.
    EXPECT_EQ(open("http://127.0.0.1/a\" --kiosk \"b\tc", folder),
              (std::vector<std::string>{maximised, "http://127.0.0.1/a%22%20--kiosk%20%22b%09c"}));
}

} // namespace
} // namespace quill::testing
