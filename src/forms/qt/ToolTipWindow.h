#pragma once

#include "platform/Desktop.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QLabel;
class QString;
class QWidget;

namespace quill::forms::qt {

// One tool-tip window, reused for every tip: the desktop's tool-tip look, wrapped text, never
// focused. It hides itself when its owner hides, so no tip outlives the bar it belongs to.
class OverlaySurface;

class ToolTipWindow : public QObject {
public:
    ToolTipWindow();
    ~ToolTipWindow() override;
    ToolTipWindow(const ToolTipWindow&) = delete;
    ToolTipWindow& operator=(const ToolTipWindow&) = delete;

    // pointer in the screen's device pixels, as the desktop gives it.
    platform::Hwnd show(QWidget& owner, platform::Point pointer, const QString& text);
    // The window, when hwnd is its handle.
    QWidget* window(platform::Hwnd hwnd) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget& owner);

    std::unique_ptr<QLabel> label_;
    QPointer<QWidget> owner_;
    // On Wayland the tip needs a surface of the layer shell to stand beside the bar.
    std::unique_ptr<OverlaySurface> overlay_;
    bool overlayLooked_ = false;
};

} // namespace quill::forms::qt
