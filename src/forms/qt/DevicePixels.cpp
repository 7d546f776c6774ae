#include "forms/qt/DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace quill::forms::qt {

int toDevice(qreal logical, qreal ratio) {
    return static_cast<int>(std::lround(logical * ratio));
}

int toLogical(int device, qreal ratio) {
    return static_cast<int>(std::lround(device / ratio));
}

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

} // namespace quill::forms::qt
