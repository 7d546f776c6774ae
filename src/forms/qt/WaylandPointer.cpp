#include "forms/qt/WaylandPointer.h"

#include <QApplication>
#include <QEvent>
#include <QSinglePointEvent>
#include <QWidget>
#include <algorithm>

namespace quill::forms::qt {

WaylandPointer::WaylandPointer() {
    QCoreApplication::instance()->installEventFilter(this);
}

WaylandPointer::~WaylandPointer() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

std::optional<QPoint> WaylandPointer::position() const {
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool over = std::any_of(windows.begin(), windows.end(),
                                  [](const QWidget* window) { return window->underMouse(); });
    return over ? std::optional<QPoint>(last_) : std::nullopt;
}

bool WaylandPointer::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        last_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
    }
    return false;
}

} // namespace quill::forms::qt
