#pragma once

#include "appbar/SettingsBlock.h"
#include "platform/Desktop.h"
#include "platform/Registry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace quill::forms {
class Form;
}

namespace quill::appbar {

// The message number the shell notifies the bar with.
inline constexpr std::uint32_t AppBarCallbackMessage = platform::WM_USER + 100;
// The window timer that polls whether an auto-hide bar should slide away.
inline constexpr std::uintptr_t AutoHideTimerId = 100;

// Places beyond the shell's four edges (0 left, 1 top, 2 right, 3 bottom).
inline constexpr int EdgeNone = 4;  // not registered with the shell
inline constexpr int EdgeFloat = 5; // a free-standing window

// Bits of AllowedEdges.
inline constexpr std::int32_t AllowLeft = 1, AllowRight = 2, AllowTop = 4, AllowBottom = 8,
                              AllowFloat = 16;

// Turns one form into a shell application desktop toolbar: registered with the shell, docked on
// a screen edge or floating, optionally auto-hidden, its parameters kept in the registry.
// Operations that need the form's window throw std::logic_error while no form is attached.
class TAppBar {
public:
    TAppBar(platform::Desktop& desktop, platform::Registry& registry);
    ~TAppBar();
    TAppBar(const TAppBar&) = delete;
    TAppBar& operator=(const TAppBar&) = delete;

    void Extends(forms::Form& form);
    void Detach();
    // Re-applies the current edge.
    void UpdateBar();
    bool LoadSettings();
    bool SaveSettings();

    // The edge proposed by a running move/size loop, else the stored one.
    int Edge() const;
    // Docks, floats or removes the bar; every step runs even when the edge is unchanged.
    void setEdge(int edge);
    // Restarts the auto-hide timer with the new interval.
    int SlideTime() const { return block_.SlideTime; }
    void setSlideTime(int milliseconds);

    // These take effect at the next docking.
    int AllowedEdges() const { return block_.AllowedEdges; }
    void setAllowedEdges(int flags) { block_.AllowedEdges = flags; }
    bool AutoHide() const { return block_.AutoHide != kFalse16; }
    void setAutoHide(bool on) { block_.AutoHide = toBool16(on); }
    bool AlwaysOnTop() const { return block_.AlwaysOnTop != kFalse16; }
    void setAlwaysOnTop(bool on) { block_.AlwaysOnTop = toBool16(on); }
    bool SlideEffect() const { return block_.SlideEffect != kFalse16; }
    void setSlideEffect(bool on) { block_.SlideEffect = toBool16(on); }
    int HorzSizeInc() const { return block_.HorzSizeInc; }
    void setHorzSizeInc(int step) { block_.HorzSizeInc = step; }
    int VertSizeInc() const { return block_.VertSizeInc; }
    void setVertSizeInc(int step) { block_.VertSizeInc = step; }
    int DockedWidth() const { return block_.DockedWidth; }
    void setDockedWidth(int pixels) { block_.DockedWidth = pixels; }
    int DockedHeight() const { return block_.DockedHeight; }
    void setDockedHeight(int pixels) { block_.DockedHeight = pixels; }
    int FloatLeft() const { return block_.FloatLeft; }
    void setFloatLeft(int pixels) { block_.FloatLeft = pixels; }
    int FloatTop() const { return block_.FloatTop; }
    void setFloatTop(int pixels) { block_.FloatTop = pixels; }
    int FloatRight() const { return block_.FloatRight; }
    void setFloatRight(int pixels) { block_.FloatRight = pixels; }
    int FloatBottom() const { return block_.FloatBottom; }
    void setFloatBottom(int pixels) { block_.FloatBottom = pixels; }
    int FloatMinWidth() const { return block_.FloatMinWidth; }
    void setFloatMinWidth(int pixels) { block_.FloatMinWidth = pixels; }
    int FloatMinHeight() const { return block_.FloatMinHeight; }
    void setFloatMinHeight(int pixels) { block_.FloatMinHeight = pixels; }
    int FloatMaxWidth() const { return block_.FloatMaxWidth; }
    void setFloatMaxWidth(int pixels) { block_.FloatMaxWidth = pixels; }
    int FloatMaxHeight() const { return block_.FloatMaxHeight; }
    void setFloatMaxHeight(int pixels) { block_.FloatMaxHeight = pixels; }
    int DockedMinWidth() const { return block_.DockedMinWidth; }
    void setDockedMinWidth(int pixels) { block_.DockedMinWidth = pixels; }
    int DockedMinHeight() const { return block_.DockedMinHeight; }
    void setDockedMinHeight(int pixels) { block_.DockedMinHeight = pixels; }
    int DockedMaxWidth() const { return block_.DockedMaxWidth; }
    void setDockedMaxWidth(int pixels) { block_.DockedMaxWidth = pixels; }
    int DockedMaxHeight() const { return block_.DockedMaxHeight; }
    void setDockedMaxHeight(int pixels) { block_.DockedMaxHeight = pixels; }
    // 0 always a taskbar button, 1 never, 2 only while floating.
    int TaskbarButton() const { return block_.TaskbarButton; }
    void setTaskbarButton(int rule) { block_.TaskbarButton = rule; }
    std::uint32_t RegistryRoot() const { return registryRoot_; }
    void setRegistryRoot(std::uint32_t root) { registryRoot_ = root; }
    const std::string& RegistryKey() const { return registryKey_; }
    void setRegistryKey(std::string key) { registryKey_ = std::move(key); }

    // Run-time state, never stored.
    int DragEdge() const { return dragEdge_; }
    bool FullScreenApp() const { return fullScreenApp_ != kFalse16; }
    bool BarShown() const { return barShown_ != kFalse16; }
    forms::Form* AttachedForm() const { return attachedForm_; }

    // Called by the window procedure for the form's messages.
    void OnAppBarNotify(platform::WParam code, platform::LParam lParam);
    void OnActivate(platform::WParam wParam);
    void OnWindowPosChanged();
    // The screen's size changed: a docked bar takes its edge's new length, then tells its owner.
    void OnDisplayChange();
    // The shell started again (after a crash or an update) and knows no bar: register anew.
    void OnTaskbarCreated();
    void OnTimer();
    void OnNcMouseMove();
    void OnEnterSizeMove();
    void OnMoving(platform::Rect& rect);
    void OnSizing(platform::WParam side, platform::Rect& rect);
    void OnGetMinMaxInfo(platform::MinMaxInfo& info);
    void OnExitSizeMove();
    // hit is what the form's own procedure answered; it may be replaced.
    void OnNcHitTest(platform::LParam point, platform::LResult& hit);

    // Called once the bar has taken a new screen's size, for the form to lay itself out again.
    std::function<void()> DisplayChanged;

    // Auto-hide: slides the bar in or out.
    void SetShown(bool show);
    // Moves rect to the shown or hidden place of an auto-hide bar; false for any other bar.
    bool AutoHideRect(bool shown, platform::Rect& rect);

private:
    forms::Form& form() const;
    platform::Hwnd hwnd() const;

    // The shell's message record, filled for this bar.
    std::uintptr_t AppBarMessage(std::uint32_t message, int edge, platform::LParam lParam,
                                 platform::Rect* rect);
    std::uintptr_t SendBarMessage(std::uint32_t message);
    std::uintptr_t SendBarMessageParam(std::uint32_t message, int edge, platform::LParam lParam);
    std::uintptr_t SendBarMessageRect(std::uint32_t message, int edge, platform::LParam lParam,
                                      platform::Rect& rect);

    void dock(int edge);
    void placeFloating();
    platform::Hwnd zOrder() const;
    void updateTaskbarButton(int edge);
    void QueryBarRect(int edge, platform::Rect& rect);
    void MoveBar(const platform::Rect& rect);
    void slide(const platform::Rect& from, const platform::Rect& to);
    void UpdateFrameStyle(bool dragging, int edge);
    bool ModifyStyle(platform::Hwnd window, int index, std::intptr_t removeBits,
                     std::intptr_t addBits, std::uint32_t positionFlags, bool hideAround);

    void OnFullScreenApp(bool open);
    void OnPosChanged();
    void ShowAutoHideConflict();

    platform::Point MessagePoint();
    int EdgeFromPoint(platform::Point point);
    int ProposedEdge(int flags, platform::Point point);

    platform::Desktop& desktop_;
    platform::Registry& registry_;
    SettingsBlock block_;
    std::int32_t dragEdge_ = EdgeNone;
    Bool16 fullScreenApp_ = kFalse16;
    Bool16 barShown_ = kFalse16;
    std::uint32_t registryRoot_ = platform::HKEY_CURRENT_USER;
    std::string registryKey_ = "Software\\AppBar\\1.4\\VB";
    forms::Form* attachedForm_ = nullptr;
};

} // namespace quill::appbar
