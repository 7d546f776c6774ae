#include "forms/qt/OverlaySurface.h"

#include "forms/qt/LayerRole.h"
#include "platform/wayland/LayerShell.h"

#include <QEvent>
#include <QRect>
#include <QWidget>

namespace quill::forms::qt {

using platform::wayland::LayerShell;

namespace {

platform::wayland::LayerPlacement placementAt(const QRect& rect, bool keyboard) {
    return platform::wayland::overlayPlacementAt(
        {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()},
        keyboard);
}

} // namespace

std::unique_ptr<OverlaySurface> OverlaySurface::make(QWidget& widget, Keyboard keyboard) {
    auto shell = bindLayerShell();
    if (!shell) {
        return nullptr;
    }
    return std::unique_ptr<OverlaySurface>(new OverlaySurface(widget, keyboard, std::move(shell)));
}

OverlaySurface::OverlaySurface(QWidget& widget, Keyboard keyboard,
                               std::unique_ptr<LayerShell> shell)
    : widget_(widget), keyboard_(keyboard == Keyboard::Take), shell_(std::move(shell)) {
    leaveRoleToUs(widget);
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
    layer_ = giveLayerRole(*shell_, widget_, placementAt(widget_.geometry(), keyboard_));
}

bool OverlaySurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &widget_) {
        return false;
    }
    if (event->type() == QEvent::Show) {
        dock();
    } else if (event->type() == QEvent::Hide) {
        layer_.reset();
        renewSurface(widget_);
    }
    return false;
}

} // namespace quill::forms::qt
