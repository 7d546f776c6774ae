#pragma once

#include "forms/win32/Windows.h"

#include <functional>

namespace quill::forms::win32 {

// Whether a full-screen window covers one of ours: the foreground window, another one than ours,
// fills the whole monitor ours is on while ours is not kept above it (the app bar drops to the
// bottom of the Z order when the shell reports a full-screen app). Windows says nothing when a
// window is covered: we look when the foreground changes and when ours changes its place, and
// while it is covered twice a second, for the window going.
class FullScreenCover {
public:
    FullScreenCover() = default;
    ~FullScreenCover() { forget(); }
    FullScreenCover(const FullScreenCover&) = delete;
    FullScreenCover& operator=(const FullScreenCover&) = delete;

    // `changed` runs whenever the answer changes.
    void watch(HWND window, std::function<void()> changed);
    // Before the window goes.
    void forget();
    bool covered() const { return covered_; }
    void lookAgain();

private:
    static void CALLBACK foregroundChanged(HWINEVENTHOOK hook, DWORD event, HWND window,
                                           LONG object, LONG child, DWORD thread, DWORD time);
    static void CALLBACK lookTick(HWND window, UINT message, UINT_PTR id, DWORD time);
    static void lookAtAll();

    HWND window_ = nullptr;
    std::function<void()> changed_;
    bool covered_ = false;
};

} // namespace quill::forms::win32
