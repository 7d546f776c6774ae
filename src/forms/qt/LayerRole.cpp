#include "forms/qt/LayerRole.h"

#include "platform/wayland/LayerShell.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qpa/qplatformnativeinterface.h>

namespace quill::forms::qt {

using namespace platform::wayland;

namespace {

QPlatformNativeInterface* native() {
    return QGuiApplication::platformNativeInterface();
}

} // namespace

std::unique_ptr<LayerShell> bindLayerShell() {
    if (QGuiApplication::platformName() != QLatin1String("wayland") || native() == nullptr) {
        return nullptr;
    }
    return LayerShell::bind(
        static_cast<wl_display*>(native()->nativeResourceForIntegration("wl_display")));
}

void leaveRoleToUs(QWidget& widget) {
    widget.overrideWindowFlags(widget.windowFlags() | Qt::BypassWindowManagerHint);
    widget.winId();
    widget.windowHandle()->setFlag(Qt::BypassWindowManagerHint);
}

std::unique_ptr<LayerSurface> giveLayerRole(LayerShell& shell, QWidget& widget,
                                            const LayerPlacement& placement) {
    QWindow* handle = widget.windowHandle();
    auto* surface = static_cast<wl_surface*>(native()->nativeResourceForWindow("surface", handle));
    auto* output =
        static_cast<wl_output*>(native()->nativeResourceForScreen("output", handle->screen()));
    return shell.dock(surface, output, placement);
}

void renewSurface(QWidget& widget) {
    QWindow* handle = widget.windowHandle();
    handle->destroy();
    handle->create();
}

} // namespace quill::forms::qt
