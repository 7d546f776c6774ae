#pragma once

#include "platform/Desktop.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::forms {

class Control;
class Form;
struct Font;

struct TextSize {
    int width = 0, height = 0; // pixels
};

// One row of a pop-up menu; an empty caption is a separator line.
struct MenuItem {
    std::string caption;
    bool enabled = true;
    bool checked = false;
};

// A file chooser's question: which file to read, or where to write one.
struct FileChoice {
    enum class Purpose { Open, Save };
    Purpose purpose = Purpose::Open;
    std::string title;
    std::string filterName;            // e.g. "OPML files"
    std::vector<std::string> patterns; // e.g. "*.opml"; every file is offered too
    std::string suggestedName;         // for saving
};

// The native side of one form: its window and whatever the backend needs to show its controls.
class FormPeer {
public:
    virtual ~FormPeer() = default;
    virtual platform::Hwnd hwnd() const = 0;
    // Something visible about this control (or the form itself, when null) changed.
    virtual void controlChanged(const Control* control) = 0;
    // Paint the control now, without waiting for the event loop (the thread may be about to block).
    virtual void repaintNow(const Control& control) = 0;
};

// What a front end supplies: windows, text metrics, time, the event pump and modal boxes.
class Backend {
public:
    virtual ~Backend() = default;

    virtual std::unique_ptr<FormPeer> createFormPeer(Form& form) = 0;
    virtual TextSize measureText(const Font& font, std::string_view utf8) = 0;
    virtual float twipsPerPixelX() = 0;
    virtual float twipsPerPixelY() = 0;

    // Monotonic milliseconds; it may advance in steps of the platform's timer tick.
    virtual double now() = 0;
    // Call Application::runDueTimers() at or soon after this time; replaces any earlier request.
    virtual void wakeAt(double milliseconds) = 0;
    // Process every pending event, then return.
    virtual void pumpEvents() = 0;
    // Block until an event arrives or the time-out passes, then process what is pending.
    virtual void waitForEvents(int timeoutMilliseconds) = 0;

    virtual int messageBox(platform::Hwnd owner, const std::string& text,
                           const std::string& caption, std::uint32_t style) = 0;

    // Shows plain text in a tool-tip window that takes no focus, at the pointer's column (screen
    // pixels) beside the owner's window. Returns that window, which the desktop's ShowWindow
    // hides; 0 when this front end shows no tips.
    virtual platform::Hwnd showTip(platform::Hwnd owner, platform::Point pointer,
                                   const std::string& text) = 0;

    // Pops up a menu at a screen point (pixels) that takes the keyboard while it is open, and
    // waits: the index of the chosen item, or nothing when it was closed without a choice.
    virtual std::optional<std::size_t> popupMenu(platform::Hwnd owner, platform::Point at,
                                                 const std::vector<MenuItem>& items) = 0;
    // The system's file chooser, modal to the owner: the chosen file, or nothing when cancelled.
    virtual std::optional<std::filesystem::path> chooseFile(platform::Hwnd owner,
                                                            const FileChoice& choice) = 0;
};

} // namespace quill::forms
