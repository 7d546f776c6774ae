#include "forms/qt/ScaledAppBarShell.h"

#include "forms/qt/DevicePixels.h"

namespace quill::forms::qt {

using platform::AppBarData;
using platform::Hwnd;
using platform::Rect;

ScaledAppBarShell::ScaledAppBarShell(std::unique_ptr<platform::x11::AppBarShell> device,
                                     std::function<qreal()> ratio)
    : device_(std::move(device)), ratio_(std::move(ratio)) {
    device_->notify = [this](Hwnd bar, std::uint32_t message, platform::WParam code,
                             platform::LParam lParam) {
        if (notify) {
            notify(bar, message, code, lParam);
        }
    };
}

std::uintptr_t ScaledAppBarShell::message(std::uint32_t message, AppBarData& data) {
    AppBarData scaled = data;
    scaled.rc = toDevice(data.rc);
    const std::uintptr_t result = device_->message(message, scaled);
    // A rectangle the shell leaves alone comes back as it went: from a ratio of 1 up, rounding
    // to device pixels and back is exact.
    data.rc = toLogical(scaled.rc);
    return result;
}

void ScaledAppBarShell::setZOrder(Hwnd window, Hwnd insertAfter) {
    device_->setZOrder(window, insertAfter);
}

void ScaledAppBarShell::setSkipTaskbar(Hwnd window, bool skip) {
    device_->setSkipTaskbar(window, skip);
}

Rect ScaledAppBarShell::workArea() {
    return toLogical(device_->workArea());
}

std::optional<Rect> ScaledAppBarShell::windowRect(Hwnd window) const {
    const auto device = device_->windowRect(window);
    return device ? std::optional(toLogical(*device)) : std::nullopt;
}

int ScaledAppBarShell::fileDescriptor() const {
    return device_->fileDescriptor();
}

void ScaledAppBarShell::processEvents() {
    device_->processEvents();
}

Rect ScaledAppBarShell::toDevice(const Rect& logical) const {
    return toRect(QRect(logical.left, logical.top, logical.width(), logical.height()), ratio_());
}

Rect ScaledAppBarShell::toLogical(const Rect& device) const {
    return toRect(toLogicalRect(device, ratio_()));
}

} // namespace quill::forms::qt
