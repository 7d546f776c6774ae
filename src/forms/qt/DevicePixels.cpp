#include "forms/qt/DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qpa/qplatformscreen.h>
#include <cmath>

namespace quill::forms::qt {

namespace {

int toDevice(qreal logical, qreal ratio) {
    return static_cast<int>(std::lround(logical * ratio));
}

int toLogical(int device, qreal ratio) {
    return static_cast<int>(std::lround(device / ratio));
}

} // namespace

qreal screenRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

platform::Rect toRect(const QRect& logical, qreal ratio) {
    const int left = toDevice(logical.x(), ratio);
    const int top = toDevice(logical.y(), ratio);
    return platform::Rect{left, top, left + toDevice(logical.width(), ratio),
                          top + toDevice(logical.height(), ratio)};
}

QRect toLogicalRect(const platform::Rect& device, qreal ratio) {
    return QRect(toLogical(device.left, ratio), toLogical(device.top, ratio),
                 toLogical(device.width(), ratio), toLogical(device.height(), ratio));
}

platform::Rect toRect(const QRect& rect) {
    return toRect(rect, 1);
}

QSize logicalScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    // Qt's own logical size of the screen is rounded to the nearest, which may pass the edge.
    const QSize device = screen->handle()->geometry().size();
    const qreal ratio = screen->devicePixelRatio();
    return {static_cast<int>(std::floor(device.width() / ratio)),
            static_cast<int>(std::floor(device.height() / ratio))};
}

} // namespace quill::forms::qt
