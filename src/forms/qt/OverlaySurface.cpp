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

} // namespace

std::unique_ptr<OverlaySurface> OverlaySurface::make(QWidget& widget) {
    if (QGuiApplication::platformName() != QLatin1String("wayland") || native() == nullptr) {
        return nullptr;
    }
    auto shell = LayerShell::bind(
        static_cast<wl_display*>(native()->nativeResourceForIntegration("wl_display")));
    if (!shell) {
        return nullptr;
    }
    return std::unique_ptr<OverlaySurface>(new OverlaySurface(widget, std::move(shell)));
}

OverlaySurface::OverlaySurface(QWidget& widget, std::unique_ptr<LayerShell> shell)
    : widget_(widget), shell_(std::move(shell)) {
    // Keeps Qt from giving the surface a role of its own when it is shown (see the bar's shell).
    widget.overrideWindowFlags(widget.windowFlags() | Qt::BypassWindowManagerHint);
    widget.winId();
    widget.windowHandle()->setFlag(Qt::BypassWindowManagerHint);
    widget.installEventFilter(this);
}

OverlaySurface::~OverlaySurface() {
    widget_.removeEventFilter(this);
}

void OverlaySurface::showAt(const QRect& rect) {
    const auto placement = platform::wayland::overlayPlacementAt(
        {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()});
    widget_.setGeometry(rect);
    if (layer_) {
        layer_->place(placement);
        return;
    }
    QWindow* handle = widget_.windowHandle();
    auto* surface = static_cast<wl_surface*>(native()->nativeResourceForWindow("surface", handle));
    auto* output =
        static_cast<wl_output*>(native()->nativeResourceForScreen("output", handle->screen()));
    layer_ = shell_->dock(surface, output, placement);
    // Without the role the compositor would make it an ordinary window: better no tip at all.
    if (layer_) {
        widget_.show();
    }
}

bool OverlaySurface::eventFilter(QObject* watched, QEvent* event) {
    // Hiding made Qt take the wl_surface away; the next show needs a fresh one without a role.
    if (watched == &widget_ && event->type() == QEvent::Hide) {
        layer_.reset();
        QWindow* handle = widget_.windowHandle();
        handle->destroy();
        handle->create();
    }
    return false;
}

} // namespace quill::forms::qt
