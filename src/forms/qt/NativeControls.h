#pragma once

#include "forms/ControlKinds.h"
#include "forms/qt/ControlGeometry.h"

#include <QPoint>
#include <QSize>
#include <unordered_map>
#include <unordered_set>

class QWidget;

namespace quill::forms {
class Container;
class Control;
class Form;
} // namespace quill::forms

namespace quill::forms::qt {

// The Qt widgets that show a form's lists, text boxes, buttons, options and frames, kept in step
// with the model both ways. A widget is made only once its form has been shown and the control
// lies in the visible client area, so hidden storage controls (long item lists below a thin bar)
// cost nothing.
class NativeControls {
public:
    NativeControls(QWidget& host, const ControlKinds& kinds, const ControlGeometry& geometry)
        : host_(host), kinds_(kinds), geometry_(geometry) {}

    // The form is on screen or its client area changed: make what has come into view.
    void showIn(const Form& form);
    // Where the client area starts in the host.
    void setOrigin(const Form& form, QPoint origin);
    // The control (and whatever it contains) changed in the model.
    void changed(const Control& control);

    QWidget* widget(const Control& control) const;

private:
    bool inView(const Control& control) const;
    void noteContainers(const Control& control);
    QWidget* create(const Control& control);
    void sync(const Control& control, QWidget& widget);
    // Once for each size the widget takes, not at each change of the control.
    void fitCaption(const Control& control, QWidget& widget);
    void restack(const Form& form);

    QWidget& host_;
    const ControlKinds& kinds_;
    const ControlGeometry& geometry_;
    QPoint origin_;
    bool active_ = false;
    std::unordered_map<const Control*, QWidget*> widgets_; // children of host_, which owns them
    // Containers with native controls inside; a change of any other container (a holder of the
    // strip) concerns no widget.
    std::unordered_set<const Container*> hosts_;
    std::unordered_map<const QWidget*, QSize> captionFittedTo_;
};

} // namespace quill::forms::qt
