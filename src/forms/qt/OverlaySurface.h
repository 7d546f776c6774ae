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

// A frameless top-level widget (a tip) shown over everything at a place of our choosing, on a
// Wayland compositor with a layer shell. There a client cannot place an ordinary window, and a
// tool tip without a parent of the compositor's own kind becomes a window the compositor tiles,
// so the widget takes a layer surface of its own. Null elsewhere: there the widget places itself.
class OverlaySurface : public QObject {
public:
    // `widget` has not been shown yet and outlives this.
    static std::unique_ptr<OverlaySurface> make(QWidget& widget);
    ~OverlaySurface() override;
    OverlaySurface(const OverlaySurface&) = delete;
    OverlaySurface& operator=(const OverlaySurface&) = delete;

    // Shows the widget at `rect`, in the logical pixels of its screen.
    void showAt(const QRect& rect);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OverlaySurface(QWidget& widget, std::unique_ptr<platform::wayland::LayerShell> shell);

    QWidget& widget_;
    std::unique_ptr<platform::wayland::LayerShell> shell_;
    std::unique_ptr<platform::wayland::LayerSurface> layer_;
};

} // namespace quill::forms::qt
