#include "appbar/TAppBar.h"

#include "appbar/CBAppBar.h"
#include "forms/Application.h"
#include "forms/Form.h"

#include <cmath>
#include <stdexcept>

namespace quill::appbar {

using namespace platform;

namespace {

// Round to nearest, halves to even (the default rounding mode), as a 32-bit integer.
std::int32_t roundHalfEven(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        throw std::overflow_error("app bar: form position out of range");
    }
    return static_cast<std::int32_t>(rounded);
}

// A form coordinate in whole pixels: both sides rounded first, then truncating division.
std::int32_t toPixels(float twips, float twipsPerPixel) {
    const std::int32_t perPixel = roundHalfEven(twipsPerPixel);
    if (perPixel == 0) {
        throw std::domain_error("app bar: twips per pixel rounds to 0");
    }
    return roundHalfEven(twips) / perPixel;
}

} // namespace

TAppBar::TAppBar(Desktop& desktop, Registry& registry) : desktop_(desktop), registry_(registry) {
    const int screenWidth = desktop_.GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = desktop_.GetSystemMetrics(SM_CYSCREEN);
    block_.FloatMaxWidth = screenWidth;
    block_.FloatMaxHeight = screenHeight;
    block_.DockedMaxWidth = screenWidth / 2;
    block_.DockedMaxHeight = screenHeight / 2;
}

TAppBar::~TAppBar() {
    // The owner detaches first; this only keeps the window procedure from reaching a dead object.
    CBAppBar::ReleaseBar(*this);
}

forms::Form& TAppBar::form() const {
    if (attachedForm_ == nullptr) {
        throw std::logic_error("app bar: no form attached");
    }
    return *attachedForm_;
}

Hwnd TAppBar::hwnd() const {
    return form().hwnd();
}

void TAppBar::Extends(forms::Form& form) {
    attachedForm_ = &form;
    CBAppBar::HookWindow(form, *this);
    desktop_.SetTimer(hwnd(), AutoHideTimerId, static_cast<std::uint32_t>(block_.SlideTime));

    forms::Application& app = form.app();
    const float left = form.left(), top = form.top();
    block_.FloatLeft = toPixels(left, app.twipsPerPixelX());
    block_.FloatTop = toPixels(top, app.twipsPerPixelY());
    block_.FloatRight = toPixels(left + form.width(), app.twipsPerPixelX());
    block_.FloatBottom = toPixels(top + form.height(), app.twipsPerPixelY());

    SendBarMessage(ABM_NEW);
    UpdateBar();

    const Hmenu menu = desktop_.GetSystemMenu(hwnd(), false);
    for (const std::uint32_t command : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE}) {
        desktop_.DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

void TAppBar::Detach() {
    desktop_.KillTimer(hwnd(), AutoHideTimerId);
    setEdge(EdgeNone);
    CBAppBar::UnhookWindow();
}

void TAppBar::UpdateBar() {
    setEdge(Edge());
}

int TAppBar::Edge() const {
    return dragEdge_ != EdgeNone ? dragEdge_ : block_.Edge;
}

void TAppBar::setSlideTime(int milliseconds) {
    const Hwnd window = hwnd();
    desktop_.KillTimer(window, AutoHideTimerId);
    block_.SlideTime = milliseconds;
    desktop_.SetTimer(window, AutoHideTimerId, static_cast<std::uint32_t>(milliseconds));
}

bool TAppBar::LoadSettings() {
    const auto bytes = registry_.readDefaultValue(registryRoot_, registryKey_);
    if (!bytes) {
        return false;
    }
    const auto block = restoreSettings(*bytes);
    if (!block) {
        return false;
    }
    block_ = *block;
    return true;
}

bool TAppBar::SaveSettings() {
    return registry_.writeDefaultValue(registryRoot_, registryKey_, storeSettings(block_));
}

} // namespace quill::appbar
