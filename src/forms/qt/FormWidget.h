#pragma once

#include "forms/ChangesAfterTimers.h"
#include "forms/ControlKinds.h"
#include "forms/RepaintPlan.h"
#include "forms/ShownControls.h"
#include "forms/Style.h"
#include "forms/qt/ControlGeometry.h"
#include "forms/qt/LabelPixmaps.h"
#include "forms/qt/NativeControls.h"

#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace quill::forms {
class Container;
class Control;
class Form;
class Label;
} // namespace quill::forms

namespace quill::platform {
class WindowPicture;
} // namespace quill::platform

namespace quill::forms {
struct CarriedPiece;
} // namespace quill::forms

namespace quill::forms::qt {

// The window of one form. It paints the form's windowless labels and picture boxes itself, hosts
// native widgets for the other controls and hands the pointer to the form in twips. Its position,
// size and visibility belong to the desktop, which moves and shows it.
class FormWidget : public QWidget, public ChangedWindow {
    Q_OBJECT

public:
    static constexpr int kCaptionStripHeight = 18;

    FormWidget(Form& form, ChangesAfterTimers& changes);
    ~FormWidget() override;

    Form& form() const { return form_; }

    // A title bar inside the client area, for a window style that asks for a caption; the form's
    // client area then starts below it.
    void setCaptionStrip(bool on);
    bool captionStrip() const { return captionStrip_; }
    int captionStripHeight() const { return captionStrip_ ? kCaptionStripHeight : 0; }

    void controlChanged(const Control* control);
    // Paints at once what changed since the last look.
    void showChanges() override;
    void repaintNow(const Control& control);
    // The native widget showing a list, text box, button, option or frame; null until the form
    // has been shown with the control in view.
    QWidget* nativeWidget(const Control& control) const { return natives_.widget(control); }
    // The client area's picture kept by the display server (X or the compositor) while the form
    // is drawn there; null otherwise.
    const platform::WindowPicture* serverPicture() const;

signals:
    // Whether the compositor shows the picture's frames: when it stops, no one sees them.
    void framesShown(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void pointerAt(QPointF position);
    // A window shown a moment ago may not be on screen yet; painting it then shows nothing.
    void waitUntilExposed();

    QPoint clientOrigin() const { return {0, captionStripHeight()}; }
    // The client area in its own coordinates.
    QRect clientArea() const { return {0, 0, width(), height() - captionStripHeight()}; }
    std::optional<QPointF> clientTwips(QPointF position) const;
    // Changes come in bursts (the strip moves each holder a twip at a time, twelve times a tick),
    // so the windowless controls are compared with how they looked once the burst is over: after
    // the timers, or else at the next turn of the event loop.
    void scheduleCheck();
    // Moves on the server what only moved and paints the rest.
    void repaintChanged();
    // The picture to draw into instead of Qt's backing store: on X11 and Wayland, at a whole
    // device pixel ratio, while no native widget is in the client area. Null otherwise, and
    // then hidden.
    platform::WindowPicture* pictureInUse(const PixelArea& fixed, qreal ratio);
    // Null when the display keeps no picture for this window.
    std::unique_ptr<platform::WindowPicture> makePicture(WId parent);
    void hidePicture();
    // `changes` when the plan came from them, so that pieces may be carried by the display.
    void showOnServer(platform::WindowPicture& picture, const RepaintPlan& plan,
                      const std::vector<ShownChange>* changes, qreal ratio);
    QRegion scrollOnServer(platform::WindowPicture& picture, const std::vector<ScrollStep>& steps,
                           qreal ratio);
    void showPiece(platform::WindowPicture& picture, const CarriedPiece& piece);
    // No screen lies beside the window's left edge, so nothing left of it is seen.
    bool nothingLeftOfWindow() const;
    // Paints `control` whole, as far as `clip` (its containers' whole rectangles) lets it.
    void paintWhole(QPainter& painter, const Control& control, const QRect& clip);
    // Paints `region` of the client area into the picture; returns what it painted.
    QRegion paintOnServer(platform::WindowPicture& picture, const QRegion& region, qreal ratio);
    void frameShown();
    void setFramesShown(bool shown);
    // Leaves out the controls in `skipped`, with what they hold.
    void paintChildren(QPainter& painter, const Container& container, const QRegion& exposed,
                       qreal devicePixelRatio, const std::set<const Control*>* skipped = nullptr);
    void paintLabel(QPainter& painter, const Label& label, const QRect& clipped,
                    qreal devicePixelRatio);
    void paintCaptionStrip(QPainter& painter);

    Form& form_;
    ChangesAfterTimers& changes_;
    ControlKinds kinds_;
    ControlGeometry geometry_;
    NativeControls natives_;
    LabelPixmaps pixmaps_;
    ShownControls shown_;
    std::unique_ptr<platform::WindowPicture> picture_;
    // Pieces the picture carries on its own: its own pixels beneath them hold none of theirs.
    std::set<const Control*> carried_;
    // Where the picture's new pixels are drawn before they are sent.
    QImage canvas_;
    std::unique_ptr<QPainter> canvasPainter_;
    // Qt's window (X11) or surface (Wayland) that holds the picture; the picture goes with it
    // when Qt makes a new one.
    WId pictureParent_ = 0;
    // Runs while the compositor has yet to tell that it showed a frame.
    QTimer frameWait_;
    bool framesShown_ = true;
    bool pictureRefused_ = false;
    // Changes went by while the picture was not in use: it is painted whole before its next use.
    bool pictureStale_ = true;
    bool checkScheduled_ = false;
    bool captionStrip_ = false;
    bool pressed_ = false;
};

} // namespace quill::forms::qt
