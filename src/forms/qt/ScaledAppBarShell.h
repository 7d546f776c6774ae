#pragma once

#include "platform/x11/AppBarShell.h"

#include <QtGlobal>
#include <functional>
#include <memory>

namespace quill::forms::qt {

// A shell that speaks device pixels, seen in the program's logical pixels: the rectangles of
// app-bar messages, the work area and the places the shell knows are scaled on the way through.
// A bar's strip then reserves exactly the device pixels Qt gives its window.
class ScaledAppBarShell final : public platform::x11::AppBarShell {
public:
    ScaledAppBarShell(std::unique_ptr<platform::x11::AppBarShell> device,
                      std::function<qreal()> ratio);

    std::uintptr_t message(std::uint32_t message, platform::AppBarData& data) override;
    void setZOrder(platform::Hwnd window, platform::Hwnd insertAfter) override;
    void setSkipTaskbar(platform::Hwnd window, bool skip) override;
    platform::Rect workArea() override;
    std::optional<platform::Rect> windowRect(platform::Hwnd window) const override;
    int fileDescriptor() const override;
    void processEvents() override;

private:
    platform::Rect toDevice(const platform::Rect& logical) const;
    platform::Rect toLogical(const platform::Rect& device) const;

    std::unique_ptr<platform::x11::AppBarShell> device_;
    std::function<qreal()> ratio_;
};

} // namespace quill::forms::qt
