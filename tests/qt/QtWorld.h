#pragma once

#include "forms/Application.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/QtBackend.h"
#include "support/FakeDesktop.h"

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <vector>

namespace quill::testing {

// The one QApplication of this test program, on the offscreen platform.
QApplication& offscreenApplication();

// The fake desktop with the Qt backend's widgets as its windows: geometry and visibility are the
// widgets' own, everything else is the fake's.
class WidgetDesktop : public FakeDesktop {
public:
    explicit WidgetDesktop(forms::qt::QtBackend& backend) : backend_(backend) {}

    bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    bool ShowWindow(Hwnd window, int command) override;
    bool IsWindowVisible(Hwnd window) override;
    bool GetWindowRect(Hwnd window, Rect& rect) override;
    bool GetClientRect(Hwnd window, Rect& rect) override;
    bool ClientToScreen(Hwnd window, Point& point) override;

private:
    forms::qt::QtBackend& backend_;
};

struct QtWorld {
    QtWorld() { backend.attach(app); }
    QApplication& qapp = offscreenApplication();
    forms::qt::QtBackend backend;
    WidgetDesktop desktop{backend};
    forms::Application app{backend, desktop};

    forms::qt::FormWidget& widget(const forms::Form& form);
    // Shows the form and waits until its window is on the (offscreen) screen.
    forms::qt::FormWidget& show(forms::Form& form);
};

// Records the regions a widget paints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) : widget_(widget) { widget.installEventFilter(this); }
    ~PaintRecorder() override { widget_.removeEventFilter(this); }

    std::vector<QRegion> regions;
    // Waits (bounded) until the widget has painted since the last call.
    bool waitForPaint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& widget_;
};

// What the window shows on the screen, as painted so far (not painted again for the grab).
QImage screenImage(const QWidget& widget);

} // namespace quill::testing
