#include "forms/qt/WaylandAppBarShell.h"

#include "forms/qt/DevicePixels.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/LayerRole.h"
#include "forms/qt/QtBackend.h"
#include "platform/wayland/LayerShell.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <map>

namespace quill::forms::qt {

using namespace platform;
using namespace platform::wayland;

namespace {

Rect screenRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? toRect(QRect(QPoint(0, 0), screen->size()), screenRatio()) : Rect{};
}

class WaylandAppBarShell final : public x11::AppBarShell, public QObject {
public:
    WaylandAppBarShell(QtBackend& backend, std::unique_ptr<LayerShell> shell)
        : backend_(backend), shell_(std::move(shell)) {}
    ~WaylandAppBarShell() override {
        for (auto& [window, bar] : bars_) {
            if (bar.widget) {
                bar.widget->removeEventFilter(this);
            }
        }
    }

    std::uintptr_t message(std::uint32_t message, AppBarData& data) override {
        switch (message) {
        case ABM_NEW:
            return add(data);
        case ABM_REMOVE:
            return remove(data.hWnd);
        case ABM_SETPOS:
            return setPosition(data);
        case ABM_QUERYPOS:
        case ABM_ACTIVATE:
        case ABM_SETAUTOHIDEBAR:
        case ABM_WINDOWPOSCHANGED:
            // Other panels are the compositor's business: a Wayland client is not told of them.
            return 1;
        default:
            return 0;
        }
    }
    void setZOrder(Hwnd, Hwnd) override {}      // the top layer is above every window already
    void setSkipTaskbar(Hwnd, bool) override {} // a layer surface has no taskbar entry
    Rect workArea() override {
        Rect area = screenRect();
        for (const auto& [window, bar] : bars_) {
            if (bar.placed) {
                area = withoutStrip(area, bar.edge, bar.rect);
            }
        }
        return area;
    }
    std::optional<Rect> windowRect(Hwnd window) const override {
        const auto found = bars_.find(window);
        if (found == bars_.end() || !found->second.placed) {
            return std::nullopt;
        }
        return found->second.rect;
    }
    int fileDescriptor() const override { return -1; } // Qt reads and dispatches the events
    void processEvents() override {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide) {
            return false;
        }
        for (auto& [window, bar] : bars_) {
            if (bar.widget.data() == watched) {
                if (event->type() == QEvent::Show) {
                    dock(window, bar);
                } else {
                    forget(bar);
                }
            }
        }
        return false;
    }

private:
    struct Bar {
        QPointer<QWidget> widget;
        std::uint32_t callback = 0;
        std::uint32_t edge = ABE_TOP;
        Rect rect;
        bool placed = false;
        std::unique_ptr<LayerSurface> layer;
    };

    std::uintptr_t add(const AppBarData& data) {
        QWidget* widget = backend_.widgetFor(data.hWnd);
        if (widget == nullptr || widget->windowHandle() == nullptr || bars_.contains(data.hWnd)) {
            return 0;
        }
        leaveRoleToUs(*widget);
        widget->installEventFilter(this);
        // The role goes before its surface: Qt 6.8 destroys the surface as it hides the window,
        // before any hide event, and a surface destroyed under its role is a protocol error
        // that ends the connection. visibleChanged comes before both.
        QObject::connect(widget->windowHandle(), &QWindow::visibleChanged, this,
                         [this, window = data.hWnd](bool visible) {
                             const auto found = bars_.find(window);
                             if (!visible && found != bars_.end()) {
                                 found->second.layer.reset();
                             }
                         });
        Bar& bar = bars_[data.hWnd];
        bar.widget = widget;
        bar.callback = data.uCallbackMessage;
        return 1;
    }

    std::uintptr_t remove(Hwnd window) {
        const auto found = bars_.find(window);
        if (found == bars_.end()) {
            return 0;
        }
        if (found->second.widget) {
            found->second.widget->removeEventFilter(this);
        }
        bars_.erase(found);
        return 1;
    }

    std::uintptr_t setPosition(const AppBarData& data) {
        const auto found = bars_.find(data.hWnd);
        const auto placement = placementFor(data.uEdge, data.rc, screenRatio());
        if (found == bars_.end() || !placement) {
            return 0;
        }
        Bar& bar = found->second;
        bar.edge = data.uEdge;
        bar.rect = data.rc;
        bar.placed = true;
        if (bar.layer) {
            bar.layer->place(*placement);
        } else if (bar.widget && bar.widget->isVisible()) {
            // Shown before it was placed: the role needs a surface Qt has not drawn on yet.
            bar.widget->hide();
            bar.widget->show();
        }
        return 1;
    }

    static void forget(Bar& bar) {
        bar.layer.reset();
        renewSurface(*bar.widget);
    }

    // Called as the widget is about to be shown, before Qt shows its window.
    void dock(Hwnd window, Bar& bar) {
        const auto placement = placementFor(bar.edge, bar.rect, screenRatio());
        if (!bar.placed || !placement) {
            return;
        }
        // Making the native window again brought back the size it had then.
        bar.widget->setGeometry(toLogicalRect(bar.rect, screenRatio()));
        bar.layer = giveLayerRole(*shell_, *bar.widget, *placement);
        if (bar.layer) {
            bar.layer->resized = [this, window, callback = bar.callback] {
                if (notify) {
                    notify(window, callback, ABN_POSCHANGED, 0);
                }
            };
        }
    }

    QtBackend& backend_;
    std::unique_ptr<LayerShell> shell_;
    std::map<Hwnd, Bar> bars_;
};

} // namespace

std::unique_ptr<x11::AppBarShell> makeWaylandAppBarShell(QtBackend& backend) {
    auto shell = bindLayerShell();
    if (!shell) {
        return nullptr;
    }
    return std::make_unique<WaylandAppBarShell>(backend, std::move(shell));
}

} // namespace quill::forms::qt
