#pragma once

#include "forms/Backend.h"

#include <map>
#include <memory>

class QTimer;
class QWidget;

namespace quill::forms {
class Application;
}

namespace quill::forms::qt {

class FormWidget;

// The Linux front end's windows: one widget a form, drawing its windowless labels and picture
// boxes itself and hosting native widgets for lists, text boxes and buttons.
class QtBackend : public Backend {
public:
    QtBackend();
    ~QtBackend() override;
    void attach(Application& app);

    // Call before the QApplication is made. The strip repaints small areas 64 times a second;
    // through X shared memory each frame waits for a round trip to the server, so they go over
    // the connection instead.
    static void prepareEnvironment();

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

    // For the desktop that manages these windows.
    FormWidget* widgetFor(platform::Hwnd hwnd) const;
    // A form's widget or the tool-tip window.
    QWidget* windowFor(platform::Hwnd hwnd) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace quill::forms::qt
