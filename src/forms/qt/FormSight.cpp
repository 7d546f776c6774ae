#include "forms/qt/FormSight.h"

#include "forms/Form.h"
#include "forms/GuardedCall.h"
#include "platform/x11/VisibilityWatch.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

namespace quill::forms::qt {

FormSight::FormSight() = default;

FormSight::~FormSight() {
    for (const auto& [hwnd, watched] : forms_) {
        watched.window->removeEventFilter(this);
    }
}

void FormSight::connectServer() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    server_ = platform::x11::VisibilityWatch::connect();
    if (!server_) {
        return;
    }
    server_->changed = [this](platform::Hwnd hwnd, bool) {
        if (auto found = forms_.find(hwnd); found != forms_.end()) {
            tell(hwnd, found->second);
        }
    };
    serverEvents_ =
        std::make_unique<QSocketNotifier>(server_->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(serverEvents_.get(), &QSocketNotifier::activated, this, [this] {
        server_->processEvents();
        if (server_->fileDescriptor() < 0) {
            serverEvents_->setEnabled(false); // the display has gone; nothing more comes
        }
    });
}

void FormSight::watch(platform::Hwnd hwnd, Form& form, QWindow& window) {
    if (forms_.empty() && !server_) {
        connectServer();
    }
    forms_[hwnd] = Watched{&form, &window};
    window.installEventFilter(this);
    if (server_) {
        server_->watch(hwnd);
    }
}

void FormSight::forget(platform::Hwnd hwnd) {
    const auto found = forms_.find(hwnd);
    if (found == forms_.end()) {
        return;
    }
    found->second.window->removeEventFilter(this);
    forms_.erase(found);
    if (server_) {
        server_->forget(hwnd);
    }
}

void FormSight::framesShown(platform::Hwnd hwnd, bool shown) {
    if (auto found = forms_.find(hwnd); found != forms_.end()) {
        found->second.framesShown = shown;
        tell(hwnd, found->second);
    }
}

bool FormSight::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose) {
        for (auto& [hwnd, form] : forms_) {
            if (form.window == watched) {
                form.exposed = form.window->isExposed();
                tell(hwnd, form);
            }
        }
    }
    return false;
}

void FormSight::tell(platform::Hwnd hwnd, const Watched& watched) {
    const bool seen = watched.exposed && watched.framesShown && (!server_ || server_->seen(hwnd));
    callGuarded([&] { watched.form->seenChanged(seen); });
}

} // namespace quill::forms::qt
