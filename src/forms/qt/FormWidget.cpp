#include "forms/qt/FormWidget.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/GuardedCall.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/PieceCarrying.h"
#include "forms/Twips.h"
#include "forms/qt/DevicePixels.h"
#include "forms/qt/QtStyle.h"
#include "platform/wayland/SurfacePicture.h"
#include "platform/x11/ServerPicture.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <QtGui/qpa/qplatformnativeinterface.h>
#include <algorithm>
#include <cmath>

namespace quill::forms::qt {

namespace {

const QColor kCaptionColor(0, 0, 128);

// Where a new window opens: the middle of the primary screen, its top left corner kept on it.
QRect centredOnPrimaryScreen(QSize size) {
    QRect rect(QPoint(0, 0), size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        rect.moveCenter(available.center());
        rect.moveTopLeft(
            {std::max(rect.left(), available.left()), std::max(rect.top(), available.top())});
    }
    return rect;
}

QRect toQRect(const Rect& rect) {
    return {rect.left, rect.top, rect.width(), rect.height()};
}

QRegion toQRegion(const PixelArea& area) {
    QRegion region;
    for (const Rect& rect : area) {
        region += toQRect(rect);
    }
    return region;
}

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

bool onWayland() {
    return QGuiApplication::platformName() == QLatin1String("wayland") &&
           QGuiApplication::platformNativeInterface() != nullptr;
}

// The window's surface; null until Qt has made it.
wl_surface* waylandSurface(QWindow* window) {
    return window != nullptr
               ? static_cast<wl_surface*>(
                     QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface",
                                                                                         window))
               : nullptr;
}

// The picture knows a carried piece by its control.
std::uintptr_t pieceId(const Control* control) {
    return reinterpret_cast<std::uintptr_t>(control);
}

// How long the compositor may take to tell that it showed a frame before the picture counts as
// unseen: Qt's own limit for its windows.
constexpr int kFrameWaitMs = 100;

} // namespace

FormWidget::FormWidget(Form& form, ChangesAfterTimers& changes)
    : form_(form), changes_(changes), kinds_(form),
      geometry_(kinds_, form.app().twipsPerPixelX(), form.app().twipsPerPixelY()),
      natives_(*this, kinds_, geometry_), shown_(kinds_, [this](const Control& control) {
          return ShownControls::Place{toRect(geometry_.clippedRect(control)),
                                      toRect(geometry_.rect(control))};
      }) {
    frameWait_.setSingleShot(true);
    frameWait_.setInterval(kFrameWaitMs);
    connect(&frameWait_, &QTimer::timeout, this, [this] {
        if (picture_ && picture_->waitingForDisplay()) {
            setFramesShown(false);
        }
    });
    // Everything is painted here, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The bar never needs the keyboard; text boxes still take focus when clicked.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Only the program decides when it ends, not a closed window.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMouseTracking(true);
    setFont(toQFont(Font{}));
    setWindowTitle(QString::fromStdString(form.caption()));
    setGeometry(
        centredOnPrimaryScreen({twipsToPixels(form.designWidth(), form.app().twipsPerPixelX()),
                                twipsToPixels(form.designHeight(), form.app().twipsPerPixelY())}));
}

FormWidget::~FormWidget() {
    changes_.forget(*this);
}

const platform::WindowPicture* FormWidget::serverPicture() const {
    return picture_ && picture_->shown() ? picture_.get() : nullptr;
}

void FormWidget::setCaptionStrip(bool on) {
    if (on == captionStrip_) {
        return;
    }
    captionStrip_ = on;
    natives_.setOrigin(form_, clientOrigin());
    update();
}

void FormWidget::controlChanged(const Control* control) {
    if (control == nullptr) {
        setWindowTitle(QString::fromStdString(form_.caption()));
        update();
        return;
    }
    const ControlKind kind = kinds_.of(*control);
    if (kind == ControlKind::Label || kind == ControlKind::PictureBox ||
        kind == ControlKind::Frame) {
        scheduleCheck();
    }
    if (kind != ControlKind::Label) {
        natives_.changed(*control);
    }
}

void FormWidget::scheduleCheck() {
    if (!checkScheduled_) {
        checkScheduled_ = true;
        if (changes_.collecting()) {
            changes_.add(*this);
        } else {
            QMetaObject::invokeMethod(this, &FormWidget::showChanges, Qt::QueuedConnection);
        }
    }
}

void FormWidget::showChanges() {
    if (checkScheduled_) {
        repaintChanged();
    }
}

void FormWidget::repaintChanged() {
    checkScheduled_ = false;
    const std::vector<ShownChange> changes = shown_.update(form_);
    const QPoint origin = clientOrigin();
    const QRect client = clientArea();
    // Native widgets paint themselves; pixels moved at a fractional scale would land between
    // device pixels.
    const qreal ratio = devicePixelRatioF();
    PixelArea fixed(toRect(client));
    if (ratio == std::floor(ratio)) {
        fixed = {};
        for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisible()) {
                fixed.add(toRect(child->geometry().translated(-origin)));
            }
        }
    }
    const RepaintPlan plan = planRepaint(changes, toRect(client), fixed);
    if (platform::WindowPicture* picture = pictureInUse(fixed, ratio)) {
        showOnServer(*picture, plan, &changes, ratio);
        return;
    }
    for (const ScrollStep& step : plan.scrolls) {
        scroll(step.delta.x, step.delta.y, toQRect(step.area).translated(origin));
    }
    if (!plan.paint.isEmpty()) {
        repaint(toQRegion(plan.paint).translated(origin));
    }
}

platform::WindowPicture* FormWidget::pictureInUse(const PixelArea& fixed, qreal ratio) {
    const bool usable = isVisible() && !fixed.intersects(toRect(clientArea())) &&
                        ratio == std::floor(ratio) && !pictureRefused_;
    WId parent = 0;
    if (usable) {
        parent = onWayland() ? reinterpret_cast<WId>(waylandSurface(windowHandle())) : winId();
    }
    if (parent == 0) {
        hidePicture();
        return nullptr;
    }
    if (!picture_ || pictureParent_ != parent) {
        hidePicture();
        picture_ = makePicture(parent); // the old one went with Qt's old window, if any
        pictureParent_ = parent;
        pictureRefused_ = !picture_;
        pictureStale_ = true;
        if (pictureRefused_) {
            return nullptr;
        }
    }
    if (picture_->place(toRect(clientArea().translated(clientOrigin()), ratio),
                        static_cast<int>(ratio))) {
        pictureStale_ = true;
    }
    return picture_.get();
}

std::unique_ptr<platform::WindowPicture> FormWidget::makePicture(WId parent) {
    if (onWayland()) {
        auto* display = static_cast<wl_display*>(
            QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
        std::unique_ptr<platform::WindowPicture> picture =
            platform::wayland::SurfacePicture::make(display, reinterpret_cast<wl_surface*>(parent));
        if (picture) {
            picture->frameShown = [this] { frameShown(); };
        }
        return picture;
    }
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return nullptr;
    }
    auto picture = std::make_unique<platform::x11::ServerPicture>(connection, parent);
    return picture->ok() ? std::move(picture) : nullptr;
}

void FormWidget::hidePicture() {
    frameWait_.stop();
    setFramesShown(true); // Qt's own frames say whether it is seen
    if (picture_ && picture_->shown()) {
        picture_->setShown(false);
        picture_->flush();
        update(); // Qt's own picture missed what changed meanwhile
    }
    pictureStale_ = true;
}

void FormWidget::frameShown() {
    frameWait_.stop();
    setFramesShown(true);
}

void FormWidget::setFramesShown(bool shown) {
    if (shown != framesShown_) {
        framesShown_ = shown;
        emit framesShown(shown);
    }
}

void FormWidget::showOnServer(platform::WindowPicture& picture, const RepaintPlan& plan,
                              const std::vector<ShownChange>* changes, qreal ratio) {
    QRegion presented;
    if (pictureStale_) {
        for (const Control* control : carried_) {
            picture.dropPiece(pieceId(control));
        }
        carried_.clear();
        presented = paintOnServer(picture, clientArea(), ratio);
    } else if (changes != nullptr && picture.carriesPieces()) {
        const CarryPlan carry = planCarrying(plan, *changes, nothingLeftOfWindow(), carried_);
        for (const Control* control : carry.dropped) {
            picture.dropPiece(pieceId(control));
        }
        presented = scrollOnServer(picture, carry.scrolls, ratio);
        presented += paintOnServer(picture, toQRegion(carry.paint), ratio);
        for (const CarriedPiece& piece : carry.shown) {
            showPiece(picture, piece);
        }
    } else {
        presented = scrollOnServer(picture, plan.scrolls, ratio);
        presented += paintOnServer(picture, toQRegion(plan.paint), ratio);
    }
    for (const QRect& rect : presented) {
        picture.present(toRect(rect, ratio));
    }
    picture.setShown(true);
    pictureStale_ = false;
    picture.flush();
    if (picture.waitingForDisplay() && !frameWait_.isActive()) {
        frameWait_.start();
    }
}

QRegion FormWidget::scrollOnServer(platform::WindowPicture& picture,
                                   const std::vector<ScrollStep>& steps, qreal ratio) {
    const int r = static_cast<int>(ratio);
    QRegion moved;
    for (const ScrollStep& step : steps) {
        const QRect area = toQRect(step.area);
        picture.scroll(toRect(area, ratio), step.delta.x * r, step.delta.y * r);
        moved += area & area.translated(step.delta.x, step.delta.y);
    }
    return moved;
}

bool FormWidget::nothingLeftOfWindow() const {
    const QScreen* own = screen();
    const QRect here = own != nullptr ? own->geometry() : QRect();
    if (here.isEmpty() || geometry().left() != here.left()) {
        return false;
    }
    const auto besideOnTheLeft = [&](const QScreen* other) {
        const QRect there = other->geometry();
        return other != own && there.right() + 1 == here.left() && there.bottom() >= here.top() &&
               there.top() <= here.bottom();
    };
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::none_of(screens.begin(), screens.end(), besideOnTheLeft);
}

void FormWidget::showPiece(platform::WindowPicture& picture, const CarriedPiece& piece) {
    // Carried only at one device pixel a pixel: client pixels are the picture's.
    const std::uintptr_t id = pieceId(piece.control);
    if (!piece.fresh) {
        picture.showPiece(id, piece.whole, piece.visible, nullptr, 0);
        return;
    }
    const QRect whole = toQRect(piece.whole);
    QImage pixels(whole.size(), QImage::Format_RGB32);
    QPainter painter(&pixels);
    painter.translate(-whole.topLeft());
    painter.fillRect(whole, toQColor(form_.backColor())); // all there is beneath a piece
    paintWhole(painter, *piece.control, whole);
    painter.end();
    picture.showPiece(id, piece.whole, piece.visible,
                      reinterpret_cast<const std::uint32_t*>(pixels.constBits()),
                      static_cast<int>(pixels.bytesPerLine()));
}

void FormWidget::paintWhole(QPainter& painter, const Control& control, const QRect& clip) {
    const ControlKind kind = kinds_.of(control);
    if (kind == ControlKind::Label) {
        paintLabel(painter, static_cast<const Label&>(control), clip, 1.0);
        return;
    }
    if (kind == ControlKind::PictureBox) {
        painter.fillRect(clip, toQColor(static_cast<const PictureBox&>(control).backColor()));
    }
    if (const Container* container = kinds_.asContainer(control)) {
        for (const Control* child : container->children()) {
            if (kinds_.windowless(*child) && child->visible()) {
                const QRect inside = geometry_.rect(*child) & clip;
                if (!inside.isEmpty()) {
                    paintWhole(painter, *child, inside);
                }
            }
        }
    }
}

QRegion FormWidget::paintOnServer(platform::WindowPicture& picture, const QRegion& region,
                                  qreal ratio) {
    const QRect client = clientArea();
    const QRegion painted = region & client;
    if (painted.isEmpty()) {
        return painted;
    }
    if (canvas_.size() != client.size() * ratio) {
        canvasPainter_.reset();
        canvas_ = QImage(client.size() * ratio, QImage::Format_RGB32);
        canvas_.setDevicePixelRatio(ratio);
        // Kept open: beginning a painter costs more than the columns a tick paints.
        canvasPainter_ = std::make_unique<QPainter>(&canvas_);
    }
    // Controls that reach into the region are drawn whole: only the region's pixels are sent,
    // and every control over them is drawn, in order.
    const QColor back = toQColor(form_.backColor());
    for (const QRect& rect : painted) {
        canvasPainter_->fillRect(rect, back);
    }
    paintChildren(*canvasPainter_, form_, painted, ratio, &carried_);
    const int r = static_cast<int>(ratio);
    for (const QRect& rect : painted) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(canvas_.constScanLine(rect.top() * r));
        picture.put(row + rect.left() * r, static_cast<int>(canvas_.bytesPerLine()),
                    toRect(rect, ratio));
    }
    return painted;
}

void FormWidget::waitUntilExposed() {
    QWindow* window = windowHandle();
    if (!isVisible() || !window || window->isExposed()) {
        return;
    }
    // Bounded: a window manager that never maps the window must not stop the program.
    constexpr int kLongestWait = 2000;
    QElapsedTimer waited;
    waited.start();
    QTimer wakeUp; // ends the last wait when nothing else arrives
    wakeUp.setSingleShot(true);
    wakeUp.start(kLongestWait);
    while (!window->isExposed() && !waited.hasExpired(kLongestWait)) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
}

void FormWidget::repaintNow(const Control& control) {
    waitUntilExposed();
    showChanges();
    if (QWidget* native = natives_.widget(control)) {
        native->repaint();
        return;
    }
    const QRect rect = geometry_.clippedRect(control);
    if (picture_ && !pictureStale_) {
        showOnServer(*picture_, {{}, toRect(rect), toRect(rect)}, nullptr, devicePixelRatioF());
    } else {
        repaint(rect.translated(clientOrigin()));
    }
}

void FormWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (captionStrip_ && event->region().intersects(QRect(0, 0, width(), kCaptionStripHeight))) {
        paintCaptionStrip(painter);
    }
    const QPoint origin = clientOrigin();
    const QRegion exposed = event->region().translated(-origin) & clientArea();
    painter.translate(origin);
    if (captionStrip_) {
        painter.setClipRegion(exposed);
    }
    const QColor back = toQColor(form_.backColor());
    for (const QRect& rect : exposed) {
        painter.fillRect(rect, back);
    }
    paintChildren(painter, form_, exposed, devicePixelRatioF());
}

void FormWidget::paintChildren(QPainter& painter, const Container& container,
                               const QRegion& exposed, qreal devicePixelRatio,
                               const std::set<const Control*>* skipped) {
    for (const Control* child : container.children()) {
        if (skipped != nullptr && skipped->contains(child)) {
            continue;
        }
        const ControlKind kind = kinds_.of(*child);
        // A frame's line is its group box's; what it holds may be drawn here.
        const bool drawnHere = kinds_.windowless(*child) || kind == ControlKind::Frame;
        if (!drawnHere || !child->visible()) {
            continue;
        }
        const QRect clipped = geometry_.clippedRect(*child);
        if (!exposed.intersects(clipped)) {
            continue;
        }
        if (kind == ControlKind::Label) {
            paintLabel(painter, static_cast<const Label&>(*child), clipped, devicePixelRatio);
            continue;
        }
        if (kind == ControlKind::PictureBox) {
            painter.fillRect(clipped, toQColor(static_cast<const PictureBox&>(*child).backColor()));
        }
        paintChildren(painter, *kinds_.asContainer(*child), exposed, devicePixelRatio, skipped);
    }
}

void FormWidget::paintLabel(QPainter& painter, const Label& label, const QRect& clipped,
                            qreal devicePixelRatio) {
    const QRect whole = geometry_.rect(label);
    const QPixmap& pixmap = pixmaps_.pixmap(label, whole.size(), devicePixelRatio);
    if (pixmap.isNull()) {
        return;
    }
    if (clipped == whole) {
        painter.drawPixmap(whole.topLeft(), pixmap);
        return;
    }
    painter.save();
    painter.setClipRect(clipped, Qt::IntersectClip);
    painter.drawPixmap(whole.topLeft(), pixmap);
    painter.restore();
}

void FormWidget::paintCaptionStrip(QPainter& painter) {
    const QRect strip(0, 0, width(), kCaptionStripHeight);
    painter.fillRect(strip, kCaptionColor);
    QFont font = toQFont(Font{});
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(strip.adjusted(4, 0, -4, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(form_.caption()));
}

std::optional<QPointF> FormWidget::clientTwips(QPointF position) const {
    const QPointF client = position - QPointF(clientOrigin());
    if (client.y() < 0) {
        return std::nullopt; // the caption strip is the desktop's
    }
    return geometry_.toTwips(client);
}

void FormWidget::pointerAt(QPointF position) {
    if (const auto at = clientTwips(position)) {
        callGuarded(
            [&] { form_.mouseMoveAt(static_cast<float>(at->x()), static_cast<float>(at->y())); });
    }
}

void FormWidget::mouseMoveEvent(QMouseEvent* event) {
    pointerAt(event->position());
}

void FormWidget::contextMenuEvent(QContextMenuEvent* event) {
    // The keyboard's menu key reaches a window that has the focus, which the bar never takes.
    if (event->reason() != QContextMenuEvent::Mouse) {
        return;
    }
    const platform::Point at{event->globalPos().x(), event->globalPos().y()};
    callGuarded([&] { form_.rightClickAt(at); });
}

void FormWidget::enterEvent(QEnterEvent* event) {
    // A pointer that arrives without moving (a warp, a touch screen, a remote desktop) sends no
    // move until it moves again inside; it is over the window all the same. Qt also sends
    // enters that come from showing a window, with the pointer elsewhere.
    if (rect().contains(event->position().toPoint())) {
        pointerAt(event->position());
    }
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
    }
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    if (const auto at = clientTwips(event->position())) {
        callGuarded(
            [&] { form_.clickAt(static_cast<float>(at->x()), static_cast<float>(at->y())); });
    }
}

void FormWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    natives_.showIn(form_);
    pictureStale_ = true;
    scheduleCheck();
}

void FormWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // On Wayland hiding takes Qt's surface away, and a new one may come at the same address.
    hidePicture();
    picture_.reset();
}

void FormWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) {
        natives_.showIn(form_);
    }
    scheduleCheck(); // the picture takes the new size
}

} // namespace quill::forms::qt
