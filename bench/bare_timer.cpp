// The floor the bar's figures are read against: a Qt program on the same display whose only
// work is a precise timer at the bar's 64 Hz, re-armed on the same 1/64 s grid. With --draw it
// also shows a bar-sized window and inverts one of its pixels on the X server each tick: the
// least any program that changes the screen at 64 Hz makes the server do. On Wayland, where a
// client cannot draw on the server, Qt paints and sends the one pixel instead.
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <optional>
#include <xcb/xcb.h>

namespace {

class OnePixel : public QWidget {
public:
    void invert() {
        dark_ = !dark_;
        update(0, 0, 1, 1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(0, 0, 1, 1, dark_ ? Qt::black : Qt::white);
    }

private:
    bool dark_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool draw = argc > 1 && std::strcmp(argv[1], "--draw") == 0;
    std::optional<OnePixel> window; // the bare timer has none
    xcb_connection_t* connection = nullptr;
    xcb_gcontext_t invert = 0;
    if (draw) {
        window.emplace();
        window->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        window->setGeometry(0, 100, 1280, 14);
        window->show();
        if (const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
            connection = x11->connection();
            invert = xcb_generate_id(connection);
            const std::uint32_t function = XCB_GX_INVERT;
            xcb_create_gc(connection, invert, window->winId(), XCB_GC_FUNCTION, &function);
        }
    }
    constexpr double kTickMs = 1000.0 / 64;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.setSingleShot(true);
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (connection != nullptr) {
            const xcb_rectangle_t pixel{0, 0, 1, 1};
            xcb_poly_fill_rectangle(connection, window->winId(), invert, 1, &pixel);
            xcb_flush(connection);
        } else if (window) {
            window->invert();
        }
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const double next = (std::floor(now / kTickMs) + 1) * kTickMs;
        tick.start(static_cast<int>(std::ceil(next - now)));
    });
    tick.start(0);
    return QApplication::exec();
}
