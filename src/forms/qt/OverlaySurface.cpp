#include "forms/qt/OverlaySurface.h"

#include "platform/wayland/LayerShell.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <QtGui/qpa/qplatformnativeinterface.h>

namespace quill::forms::qt {

using platform::wayland::LayerShell;

namespace {

QPlatformNativeInterface* native() {
    return QGuiApplication::platformNativeInterface();
}

platform::wayland::LayerPlacement placementAt(const QRect& rect, bool keyboard) {
    return platform::wayland::overlayPlacementAt(
        {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()},
        keyboard);
}

} // namespace

std::unique_ptr<OverlaySurface> OverlaySurface::make(QWidget& widget, Keyboard keyboard) {
    if (QGuiApplication::platformName() != QLatin1String("wayland") || native() == nullptr) {
        return nullptr;
    }
    auto shell = LayerShell::bind(
        static_cast<wl_display*>(native()->nativeResourceForIntegration("wl_display")));
    if (!shell) {
        return nullptr;
    }
    return std::unique_ptr<OverlaySurface>(new OverlaySurface(widget, keyboard, std::move(shell)));
}

OverlaySurface::OverlaySurface(QWidget& widget, Keyboard keyboard,
                               std::unique_ptr<LayerShell> shell)
    : widget_(widget), keyboard_(keyboard == Keyboard::Take), shell_(std::move(shell)) {
    // Keeps Qt from giving the surface a role of its own when it is shown (see the bar's shell).
    widget.overrideWindowFlags(widget.windowFlags() | Qt::BypassWindowManagerHint);
    widget.winId();
    widget.windowHandle()->setFlag(Qt::BypassWindowManagerHint);
    widget.installEventFilter(this);
}

OverlaySurface::~OverlaySurface() {
    widget_.removeEventFilter(this);
}

void OverlaySurface::move(const QRect& rect) {
    widget_.setGeometry(rect);
    if (layer_) {
        layer_->place(placementAt(rect, keyboard_));
    }
}

// Called as the widget is about to be shown, before Qt shows its window.
void OverlaySurface::dock() {
    QWindow* handle = widget_.windowHandle();
    auto* surface = static_cast<wl_surface*>(native()->nativeResourceForWindow("surface", handle));
    auto* output =
        static_cast<wl_output*>(native()->nativeResourceForScreen("output", handle->screen()));
    layer_ = shell_->dock(surface, output, placementAt(widget_.geometry(), keyboard_));
}

bool OverlaySurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &widget_) {
        return false;
    }
    if (event->type() == QEvent::Show) {
        dock();
    } else if (event->type() == QEvent::Hide) {
        // Hiding made Qt take the wl_surface away; the next show needs a fresh one without a role.
        layer_.reset();
        QWindow* handle = widget_.windowHandle();
        handle->destroy();
        handle->create();
    }
    return false;
}

} // namespace quill::forms::qt
