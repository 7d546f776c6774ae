#pragma once

#include "forms/Backend.h"
#include "forms/ChangesAfterTimers.h"
#include "forms/ControlKinds.h"
#include "forms/ShownControls.h"
#include "forms/Style.h"
#include "forms/win32/Fonts.h"
#include "forms/win32/FullScreenCover.h"
#include "forms/win32/NativeControls.h"
#include "forms/win32/PixelGeometry.h"
#include "forms/win32/SessionSight.h"
#include "forms/win32/Windows.h"

#include <string>
#include <unordered_map>

namespace quill::forms {
class Container;
class Label;
} // namespace quill::forms

namespace quill::forms::win32 {

// The window of one form. It paints the form's windowless labels and picture boxes itself, into a
// memory bitmap first so the moving strip never shows half a frame, hosts native controls for the
// rest and hands the pointer to the form in twips.
class FormWindow : public FormPeer, public ChangedWindow {
public:
    FormWindow(Form& form, Fonts& fonts, ChangesAfterTimers& changes);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    platform::Hwnd hwnd() const override { return reinterpret_cast<platform::Hwnd>(hwnd_); }
    void controlChanged(const Control* control) override;
    void repaintNow(const Control& control) override;

    // Tab and arrow keys move between a form's native controls in their tab order; true when
    // the message was used so.
    static bool navigate(MSG& message);
    // The native control showing a list, text box, button, option or frame, if made yet.
    HWND nativeWindow(const Control& control) const { return natives_.window(control); }
    // Pixels of the client area drawn so far: what a frame cost.
    long long drawnPixels() const { return drawnPixels_; }
    // Moves the pixels of what only moved and draws what no move supplies.
    void showChanges() override;

private:
    static ATOM windowClass();
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Where native controls paint themselves.
    PixelArea nativeArea() const;
    void paint();
    // Draws an area of the client through the memory bitmap.
    void draw(HDC screen, const RECT& area);
    // A memory bitmap of the client area's size at least, where each frame is drawn whole.
    HDC buffer(HDC screen);
    void dropBuffer();
    void paintChildren(HDC dc, const Container& container, const RECT& exposed);
    void paintLabel(HDC dc, const Label& label, const RECT& clipped);
    Fonts::Fit fitted(const Label& label, const std::wstring& text, const RECT& box);
    HBRUSH backBrush();
    // Tells the form whether anyone can see its window now.
    void tellSeen();
    void pointerMoved(LPARAM lParam);
    void clicked(LPARAM lParam);

    Form& form_;
    Fonts& fonts_;
    ChangesAfterTimers& changes_;
    ControlKinds kinds_;
    PixelGeometry geometry_;
    NativeControls natives_;
    HWND hwnd_ = nullptr;
    SessionSight sight_;
    FullScreenCover cover_;
    ShownControls shown_;
    struct FittedCaption {
        Font font;
        std::wstring text;
        SIZE size;
        Fonts::Fit fit;
    };
    std::unordered_map<const Label*, FittedCaption> fits_;
    // Changes wait to be shown, in the timers' list or behind a posted message.
    bool checkPending_ = false;
    bool pressed_ = false;
    long long drawnPixels_ = 0;
    HDC bufferDc_ = nullptr;
    HBITMAP bufferBitmap_ = nullptr;
    HGDIOBJ bufferOld_ = nullptr;
    SIZE bufferSize_{};
    HBRUSH brush_ = nullptr;
    Color brushColor_;
};

} // namespace quill::forms::win32
