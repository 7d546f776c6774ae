// The floor the bar's figures are read against: a Qt program on the same display whose only
// work is a precise timer at the bar's 64 Hz, re-armed on the same 1/64 s grid.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cmath>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    constexpr double kTickMs = 1000.0 / 64;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.setSingleShot(true);
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const double next = (std::floor(now / kTickMs) + 1) * kTickMs;
        tick.start(static_cast<int>(std::ceil(next - now)));
    });
    tick.start(0);
    return QApplication::exec();
}
