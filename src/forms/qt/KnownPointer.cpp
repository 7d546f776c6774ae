#include "forms/qt/KnownPointer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>

namespace quill::forms::qt {

KnownPointer::KnownPointer() {
    QCoreApplication::instance()->installEventFilter(this);
}

KnownPointer::~KnownPointer() {
    QCoreApplication::instance()->removeEventFilter(this);
}

QPoint KnownPointer::position() const {
    return known_ ? *known_ : QCursor::pos();
}

bool KnownPointer::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        known_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        break;
    case QEvent::Enter:
        known_ = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
        break;
    // Gone from this window, perhaps to one that tells the program nothing.
    case QEvent::Leave:
        known_.reset();
        break;
    default:
        break;
    }
    return false;
}

} // namespace quill::forms::qt
