#pragma once

#include "platform/Desktop.h"

namespace quill::forms {
class Form;
}

namespace quill::appbar {

class TAppBar;

// The replaced window procedure of the one form that is an app bar. It hands the bar the
// messages it needs, passes the rest to the procedure it replaced, and lets nothing escape.
namespace CBAppBar {

struct HookState {
    platform::Hwnd HookedWnd = 0;
    TAppBar* HookedBar = nullptr;
    platform::WndProc PrevWndProc = nullptr;
    platform::Desktop* desktop = nullptr; // the hooked window's
    std::uint32_t TaskbarCreated = 0;     // the shell's message when it starts again; 0 if none
};

// One window at a time: hooking another replaces all three.
void HookWindow(forms::Form& form, TAppBar& bar);
// Gives the window its previous procedure back; the bar stays remembered.
void UnhookWindow();
platform::LResult AppBarWndProc(platform::Hwnd window, std::uint32_t message,
                                platform::WParam wParam, platform::LParam lParam);

// A bar going away is forgotten, so later messages go straight to the previous procedure.
void ReleaseBar(const TAppBar& bar);
const HookState& state();

} // namespace CBAppBar

} // namespace quill::appbar
