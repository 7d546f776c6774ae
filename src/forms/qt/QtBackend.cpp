#include "forms/qt/QtBackend.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/GuardedCall.h"
#include "forms/Scheduler.h"
#include "forms/qt/DevicePixels.h"
#include "forms/qt/FormSight.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/NativeChoosers.h"
#include "forms/qt/QtStyle.h"
#include "forms/qt/SessionPlatform.h"
#include "forms/qt/ToolTipWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <optional>

namespace quill::forms::qt {

namespace {

// Ends a wait at the first input event, which then goes on to its receiver as usual.
class InputEndsLoop : public QObject {
public:
    explicit InputEndsLoop(QEventLoop& loop) : loop_(loop) {}

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::Enter:
        case QEvent::Leave:
            loop_.quit();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QEventLoop& loop_;
};

constexpr float kTwipsPerInch = 1440;

QMessageBox::Icon iconFor(std::uint32_t style) {
    switch (style & 0xF0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

using WidgetMap = std::map<platform::Hwnd, FormWidget*>;

class QtFormPeer : public FormPeer {
public:
    QtFormPeer(std::unique_ptr<FormWidget> widget, WidgetMap& widgets, FormSight& sight)
        : widget_(std::move(widget)), hwnd_(static_cast<platform::Hwnd>(widget_->winId())),
          widgets_(widgets), sight_(sight) {
        widgets_[hwnd_] = widget_.get();
        sight_.watch(hwnd_, widget_->form(), *widget_->windowHandle());
        // Queued: the compositor's answer arrives while Qt handles its events.
        QObject::connect(
            widget_.get(), &FormWidget::framesShown, widget_.get(),
            [this](bool shown) { sight_.framesShown(hwnd_, shown); }, Qt::QueuedConnection);
    }
    ~QtFormPeer() override {
        sight_.forget(hwnd_);
        widgets_.erase(hwnd_);
    }

    platform::Hwnd hwnd() const override { return hwnd_; }
    void controlChanged(const Control* control) override { widget_->controlChanged(control); }
    void repaintNow(const Control& control) override { widget_->repaintNow(control); }

private:
    std::unique_ptr<FormWidget> widget_;
    platform::Hwnd hwnd_;
    WidgetMap& widgets_;
    FormSight& sight_;
};

} // namespace

struct QtBackend::State {
    Application* app = nullptr;
    ChangesAfterTimers changes;
    QElapsedTimer clock;
    QTimer wake;
    double wakeTarget = 0;
    WidgetMap widgets;
    FormSight sight;
    // Made at the first tip: most runs never show one.
    std::unique_ptr<ToolTipWindow> tip;
    std::optional<float> twipsPerPixelX, twipsPerPixelY;

    double elapsedMilliseconds() const { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

    void runDueTimers() {
        changes.run([this] { callGuarded([this] { app->runDueTimers(); }); });
    }

    void readScreen() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpiX = screen != nullptr ? screen->logicalDotsPerInchX() : 96;
        const double dpiY = screen != nullptr ? screen->logicalDotsPerInchY() : 96;
        twipsPerPixelX = kTwipsPerInch / static_cast<float>(dpiX);
        twipsPerPixelY = kTwipsPerInch / static_cast<float>(dpiY);
    }
};

QtBackend::QtBackend() : state_(std::make_unique<State>()) {
    state_->clock.start();
    state_->wake.setSingleShot(true);
    state_->wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&state_->wake, &QTimer::timeout, &state_->wake, [state = state_.get()] {
        if (state->app != nullptr) {
            state->runDueTimers();
        }
    });
}

QtBackend::~QtBackend() = default;

void QtBackend::prepareEnvironment() {
    chooseSessionPlatform();
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

void QtBackend::attach(Application& app) {
    state_->app = &app;
}

std::unique_ptr<FormPeer> QtBackend::createFormPeer(Form& form) {
    return std::make_unique<QtFormPeer>(std::make_unique<FormWidget>(form, state_->changes),
                                        state_->widgets, state_->sight);
}

FormWidget* QtBackend::widgetFor(platform::Hwnd hwnd) const {
    const auto found = state_->widgets.find(hwnd);
    return found == state_->widgets.end() ? nullptr : found->second;
}

QWidget* QtBackend::windowFor(platform::Hwnd hwnd) const {
    if (QWidget* form = widgetFor(hwnd)) {
        return form;
    }
    return state_->tip ? state_->tip->window(hwnd) : nullptr;
}

TextSize QtBackend::measureText(const Font& font, std::string_view utf8) {
    const QFontMetrics metrics(toQFont(font));
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return {metrics.horizontalAdvance(text), metrics.height()};
}

float QtBackend::twipsPerPixelX() {
    if (!state_->twipsPerPixelX) {
        state_->readScreen();
    }
    return *state_->twipsPerPixelX;
}

float QtBackend::twipsPerPixelY() {
    if (!state_->twipsPerPixelY) {
        state_->readScreen();
    }
    return *state_->twipsPerPixelY;
}

// The timers' clock advances in whole ticks of 1/64 s, as window timers see it on Windows. Timers
// enabled at different moments within one tick then come due together and share a wake-up, and a
// wake-up that comes late cannot split them.
double QtBackend::now() {
    const double tick = Scheduler::kShortestPeriod;
    return std::floor(state_->elapsedMilliseconds() / tick) * tick;
}

void QtBackend::wakeAt(double milliseconds) {
    if (state_->wake.isActive() && state_->wakeTarget == milliseconds) {
        return;
    }
    state_->wakeTarget = milliseconds;
    const double delay = Scheduler::wakeDelay(milliseconds, state_->elapsedMilliseconds());
    state_->wake.start(static_cast<int>(delay));
}

void QtBackend::pumpEvents() {
    state_->changes.outside([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

void QtBackend::waitForEvents(int timeoutMilliseconds) {
    // Timer ticks run inside the wait without ending it: only input or the time-out does, so a
    // pointer resting on the bar costs no more than the strip's own timers.
    QEventLoop loop;
    InputEndsLoop inputWatch(loop);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(std::max(0, timeoutMilliseconds));
    QCoreApplication::instance()->installEventFilter(&inputWatch);
    state_->changes.outside([&loop] { loop.exec(); });
    QCoreApplication::instance()->removeEventFilter(&inputWatch);
}

int QtBackend::messageBox(platform::Hwnd, const std::string& text, const std::string& caption,
                          std::uint32_t style) {
    QMessageBox box(iconFor(style), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok);
    state_->changes.outside([&box] { box.exec(); });
    return 1; // IDOK, the only button
}

platform::Hwnd QtBackend::showTip(platform::Hwnd owner, platform::Point pointer,
                                  const std::string& text) {
    FormWidget* ownerWidget = widgetFor(owner);
    if (ownerWidget == nullptr) {
        return 0;
    }
    if (!state_->tip) {
        state_->tip = std::make_unique<ToolTipWindow>();
    }
    return state_->tip->show(*ownerWidget, pointer, QString::fromStdString(text));
}

std::optional<std::size_t> QtBackend::popupMenu(platform::Hwnd owner, platform::Point at,
                                                const std::vector<MenuItem>& items) {
    std::optional<std::size_t> chosen;
    state_->changes.outside(
        [&] { chosen = execMenu(widgetFor(owner), QPoint(at.x, at.y), items); });
    return chosen;
}

std::optional<std::filesystem::path> QtBackend::chooseFile(platform::Hwnd,
                                                           const FileChoice& choice) {
    std::optional<std::filesystem::path> chosen;
    state_->changes.outside([&] { chosen = execFileDialog(choice); });
    return chosen;
}

} // namespace quill::forms::qt
