#pragma once

#include "forms/ControlKinds.h"
#include "forms/win32/PixelGeometry.h"
#include "forms/win32/Windows.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace quill::forms {
class Form;
}

namespace quill::forms::win32 {

// The child windows that show a form's lists, text boxes, buttons, options and frames, kept in
// step with the model both ways; the form's creation order is their z-order and tab order. A
// child is made only once its form has been shown and the control lies in the client area, so
// hidden storage controls (long item lists below a thin bar) cost nothing.
class NativeControls {
public:
    NativeControls(const ControlKinds& kinds, const PixelGeometry& geometry)
        : kinds_(kinds), geometry_(geometry) {}

    // The form is on screen or its client area changed: make what has come into view.
    void showIn(const Form& form, HWND host, HFONT font);
    // The control (and whatever it contains) changed in the model.
    void changed(const Control& control);
    // A notification from one of the children; true when it was one of ours.
    bool command(HWND child, WORD code);

    HWND window(const Control& control) const;

private:
    struct Native {
        HWND hwnd = nullptr;
        std::vector<std::string> rows; // what a list box shows
    };
    bool inView(const Control& control) const;
    Native& create(const Control& control);
    void restack(const Form& form);
    void sync(const Control& control, Native& native);
    void syncList(const Control& control, Native& native);
    // Clips a group box to its line and caption, so the form paints the labels inside it.
    void fitFrame(HWND frame);

    const ControlKinds& kinds_;
    const PixelGeometry& geometry_;
    HWND host_ = nullptr;
    HFONT font_ = nullptr;
    std::unordered_map<const Control*, Native> natives_;
    std::unordered_map<HWND, Control*> controls_;
    // Set while the model is copied into a child, whose notifications are then echoes.
    bool syncing_ = false;
};

} // namespace quill::forms::win32
