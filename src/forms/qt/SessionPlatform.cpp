#include "forms/qt/SessionPlatform.h"

#include "platform/wayland/LayerShell.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace quill::forms::qt {

void chooseSessionPlatform() {
    const QString named = qEnvironmentVariable("QT_QPA_PLATFORM");
    bool wayland = named.startsWith(QLatin1String("wayland"));
    if (named.isEmpty() && qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        wayland = platform::wayland::compositorOffersLayerShell();
        if (wayland) {
            qputenv("QT_QPA_PLATFORM", "wayland");
        } else if (qEnvironmentVariableIsSet("DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        }
    }
    if (wayland) {
        // Qt then gives a window with Qt::BypassWindowManagerHint no role of its own, so the
        // bar's surface can take the layer role.
        qputenv("QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT", "1");
        // The forms paint in memory and hand Wayland shared-memory buffers; Qt's EGL buffer
        // integration would only load the GL drivers, about 50 MB of them.
        if (!qEnvironmentVariableIsSet("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION")) {
            qputenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none");
        }
    }
}

} // namespace quill::forms::qt
