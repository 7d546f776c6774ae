#include "forms/qt/KnownPointer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>

namespace quill::forms::qt {

KnownPointer::KnownPointer(bool serverTells) : serverTells_(serverTells) {
    QCoreApplication::instance()->installEventFilter(this);
}

KnownPointer::~KnownPointer() {
    QCoreApplication::instance()->removeEventFilter(this);
}

std::optional<QPoint> KnownPointer::position() const {
    if (!serverTells_ || (known_ && !age_.hasExpired(kTrustedMs))) {
        return known_;
    }
    return QCursor::pos();
}

bool KnownPointer::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        known_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        age_.start();
        break;
    // Qt also sends an enter when a window is shown or placed, with where it last saw the
    // pointer: a server that tells is asked instead.
    case QEvent::Enter:
        known_.reset();
        if (!serverTells_) {
            known_ = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
            age_.start();
        }
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
