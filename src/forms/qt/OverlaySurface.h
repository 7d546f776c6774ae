#pragma once

#include <QObject>
#include <memory>

class QRect;
class QWidget;

namespace quill::platform::wayland {
class LayerShell;
class LayerSurface;
} // namespace quill::platform::wayland

namespace quill::forms::qt {

// A frameless top-level widget (a tip, a menu) shown over everything where its geometry says,
// on a Wayland compositor with a layer shell. There a client cannot place an ordinary window,
// and a tool tip or a menu without a parent of the compositor's own kind becomes a window the
// compositor tiles, or none at all; so the widget takes a layer surface of its own each time it
// is shown. Null elsewhere: there the widget places itself.
class OverlaySurface : public QObject {
public:
    enum class Keyboard { Leave, Take };

    // `widget` has not been shown yet and outlives this.
    static std::unique_ptr<OverlaySurface> make(QWidget& widget, Keyboard keyboard);
    ~OverlaySurface() override;
    OverlaySurface(const OverlaySurface&) = delete;
    OverlaySurface& operator=(const OverlaySurface&) = delete;

    // Moves a shown widget to `rect`, in the logical pixels of its screen.
    void move(const QRect& rect);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OverlaySurface(QWidget& widget, Keyboard keyboard,
                   std::unique_ptr<platform::wayland::LayerShell> shell);
    void dock();

    QWidget& widget_;
    bool keyboard_;
    std::unique_ptr<platform::wayland::LayerShell> shell_;
    std::unique_ptr<platform::wayland::LayerSurface> layer_;
};

} // namespace quill::forms::qt
