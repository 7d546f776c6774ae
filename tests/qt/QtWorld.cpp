#include "QtWorld.h"

#include "forms/Form.h"

#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace quill::testing {

QApplication& offscreenApplication() {
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *application;
}

bool WidgetDesktop::SetWindowPos(Hwnd window, Hwnd, int x, int y, int cx, int cy,
                                 std::uint32_t flags) {
    QWidget* widget = backend_.windowFor(window);
    if (widget == nullptr) {
        return false;
    }
    QRect rect = widget->geometry();
    if ((flags & SWP_NOMOVE) == 0) {
        rect.moveTo(x, y);
    }
    if ((flags & SWP_NOSIZE) == 0) {
        rect.setSize({cx, cy});
    }
    widget->setGeometry(rect);
    return true;
}

bool WidgetDesktop::ShowWindow(Hwnd window, int command) {
    QWidget* widget = backend_.windowFor(window);
    if (widget == nullptr) {
        return false;
    }
    const bool was = widget->isVisible();
    widget->setVisible(command != SW_HIDE);
    return was;
}

bool WidgetDesktop::IsWindowVisible(Hwnd window) {
    const QWidget* widget = backend_.windowFor(window);
    return widget != nullptr && widget->isVisible();
}

bool WidgetDesktop::GetWindowRect(Hwnd window, Rect& rect) {
    const QWidget* widget = backend_.windowFor(window);
    if (widget == nullptr) {
        return false;
    }
    const QRect g = widget->geometry();
    rect = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    return true;
}

bool WidgetDesktop::GetClientRect(Hwnd window, Rect& rect) {
    const QWidget* widget = backend_.windowFor(window);
    if (widget == nullptr) {
        return false;
    }
    rect = {0, 0, widget->width(), widget->height()};
    return true;
}

bool WidgetDesktop::ClientToScreen(Hwnd window, Point& point) {
    const QWidget* widget = backend_.windowFor(window);
    if (widget == nullptr) {
        return false;
    }
    const QPoint global = widget->mapToGlobal(QPoint(point.x, point.y));
    point = {global.x(), global.y()};
    return true;
}

forms::qt::FormWidget& QtWorld::widget(const forms::Form& form) {
    return *backend.widgetFor(form.hwnd());
}

forms::qt::FormWidget& QtWorld::show(forms::Form& form) {
    form.setVisible(true);
    auto& shown = widget(form);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&shown));
    return shown;
}

bool PaintRecorder::waitForPaint() {
    const std::size_t before = regions.size();
    const bool painted = QTest::qWaitFor([&] { return regions.size() > before; }, 5000);
    QCoreApplication::processEvents(); // let the backing store reach the screen
    return painted;
}

bool PaintRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &widget_ && event->type() == QEvent::Paint) {
        regions.push_back(static_cast<QPaintEvent*>(event)->region());
    }
    return false;
}

QImage screenImage(const QWidget& widget) {
    return widget.screen()->grabWindow(widget.winId()).toImage();
}

} // namespace quill::testing
