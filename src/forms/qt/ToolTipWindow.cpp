#include "forms/qt/ToolTipWindow.h"

#include "forms/TipPlacement.h"
#include "forms/qt/DevicePixels.h"
#include "forms/qt/OverlaySurface.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

namespace quill::forms::qt {

namespace {

// Wide enough for a few lines of a paragraph, narrow enough to read without losing the line.
constexpr int kLineCharacters = 60;

} // namespace

ToolTipWindow::ToolTipWindow()
    : label_(std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint |
                                                   Qt::WindowDoesNotAcceptFocus)) {
    QLabel& label = *label_;
    label.setAttribute(Qt::WA_ShowWithoutActivating);
    label.setFocusPolicy(Qt::NoFocus);
    label.setPalette(QToolTip::palette());
    label.setFont(QToolTip::font());
    label.setBackgroundRole(QPalette::ToolTipBase);
    label.setForegroundRole(QPalette::ToolTipText);
    label.setAutoFillBackground(true);
    label.setFrameStyle(QFrame::Box | QFrame::Plain);
    label.setMargin(label.style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, &label));
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
}

ToolTipWindow::~ToolTipWindow() {
    if (owner_) {
        owner_->removeEventFilter(this);
    }
}

platform::Hwnd ToolTipWindow::show(QWidget& owner, platform::Point pointer, const QString& text) {
    watch(owner);
    QLabel& label = *label_;
    label.setText(text);
    const QScreen* screen = owner.screen();
    const QRect screenArea = screen->geometry();
    const QPoint at(pointer.x, pointer.y);

    // A text that fits on one line keeps the label's own width; only a longer one wraps.
    const QFontMetrics metrics(label.font());
    const int frame = 2 * (label.margin() + label.frameWidth());
    const int widest =
        std::min(metrics.averageCharWidth() * kLineCharacters + frame, screenArea.width());
    label.setWordWrap(false);
    const QSize natural = label.sizeHint();
    label.setWordWrap(natural.width() > widest);
    const int width = std::min(natural.width(), widest);
    const int height = label.wordWrap() ? label.heightForWidth(width) : natural.height();

    const platform::Rect place = tipPlacement(toRect(owner.frameGeometry()), toRect(screenArea),
                                              width, height, {at.x(), at.y()});
    const QRect rect(place.left, place.top, place.width(), place.height());
    if (!overlayLooked_) {
        overlayLooked_ = true;
        overlay_ = OverlaySurface::make(label, OverlaySurface::Keyboard::Leave);
    }
    if (overlay_ && label.isVisible()) {
        overlay_->move(rect);
    } else {
        label.setGeometry(rect);
        label.show();
    }
    return static_cast<platform::Hwnd>(label.winId());
}

QWidget* ToolTipWindow::window(platform::Hwnd hwnd) const {
    const bool ours = label_->testAttribute(Qt::WA_WState_Created) &&
                      static_cast<platform::Hwnd>(label_->winId()) == hwnd;
    return ours ? label_.get() : nullptr;
}

void ToolTipWindow::watch(QWidget& owner) {
    if (owner_ == &owner) {
        return;
    }
    if (owner_) {
        owner_->removeEventFilter(this);
    }
    owner_ = &owner;
    owner.installEventFilter(this);
}

bool ToolTipWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == owner_ && event->type() == QEvent::Hide) {
        label_->hide();
    }
    return false;
}

} // namespace quill::forms::qt
