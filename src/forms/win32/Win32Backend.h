#pragma once

#include "forms/Backend.h"

#include <memory>

namespace quill::forms {
class Application;
}

namespace quill::forms::win32 {

// The Windows front end's windows: one top-level window a form, drawing its windowless labels and
// picture boxes itself and hosting native controls for lists, text boxes, buttons and frames.
class Win32Backend : public Backend {
public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;
    void attach(Application& app);
    // The program's message loop, until a quit message; returns its exit code.
    int run();

    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    TextSize measureText(const Font& font, std::string_view utf8) override;
    float twipsPerPixelX() override;
    float twipsPerPixelY() override;
    double now() override;
    void wakeAt(double milliseconds) override;
    void pumpEvents() override;
    void waitForEvents(int timeoutMilliseconds) override;
    int messageBox(platform::Hwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    platform::Hwnd showTip(platform::Hwnd owner, platform::Point pointer,
                           const std::string& text) override;
    std::optional<std::size_t> popupMenu(platform::Hwnd owner, platform::Point at,
                                         const std::vector<MenuItem>& items) override;
    std::optional<std::filesystem::path> chooseFile(platform::Hwnd owner,
                                                    const FileChoice& choice) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace quill::forms::win32
