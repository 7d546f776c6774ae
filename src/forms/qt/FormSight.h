#pragma once

#include "platform/Desktop.h"

#include <QObject>
#include <map>
#include <memory>

class QSocketNotifier;
class QWindow;

namespace quill::forms {
class Form;
}
namespace quill::platform::x11 {
class VisibilityWatch;
}

namespace quill::forms::qt {

// Tells each form whether anyone can see its window. Qt says whether the window is exposed: on
// Wayland it stops exposing one whose frames the compositor no longer asks for (no frame callback
// comes, as while the output sleeps or something covers the surface); a window drawn on a
// picture of its own says the same of the picture's frames. On X11 the server adds whether the
// window is covered whole and whether the screen saver is on.
class FormSight : public QObject {
public:
    FormSight();
    ~FormSight() override;
    FormSight(const FormSight&) = delete;
    FormSight& operator=(const FormSight&) = delete;

    void watch(platform::Hwnd hwnd, Form& form, QWindow& window);
    void forget(platform::Hwnd hwnd);
    void framesShown(platform::Hwnd hwnd, bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        Form* form = nullptr;
        QWindow* window = nullptr;
        bool exposed = true; // until Qt says otherwise: a window not yet shown is not held
        bool framesShown = true;
    };
    void connectServer();
    void tell(platform::Hwnd hwnd, const Watched& watched);

    std::unique_ptr<platform::x11::VisibilityWatch> server_;
    std::unique_ptr<QSocketNotifier> serverEvents_;
    std::map<platform::Hwnd, Watched> forms_;
};

} // namespace quill::forms::qt
