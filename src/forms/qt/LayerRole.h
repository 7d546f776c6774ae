#pragma once

#include "platform/wayland/LayerPlacement.h"

#include <memory>

class QWidget;

namespace quill::platform::wayland {
class LayerShell;
class LayerSurface;
} // namespace quill::platform::wayland

namespace quill::forms::qt {

// How a Qt widget's wl_surface takes a layer-shell role instead of one of Qt's; shared by the
// docked bar and what stands beside it (tips, menus). Relies on Qt behaviour the Sway tests
// guard: with QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT set, a window with
// Qt::BypassWindowManagerHint gets no role from Qt; its surface exists once it has a native
// window; and hiding takes the surface away.

// The layer shell on Qt's own connection; null when Qt is not on Wayland or the compositor has
// none.
std::unique_ptr<platform::wayland::LayerShell> bindLayerShell();

// Keeps Qt from giving the widget's surface a role of its own when it is shown. The widget's
// copy of the flags is set too, as a show hands it to the window again; overriding it keeps the
// native window.
void leaveRoleToUs(QWidget& widget);

// Gives the widget's surface, shown next and without a buffer yet, the layer role on its
// screen's output; null when the compositor sends no configure.
std::unique_ptr<platform::wayland::LayerSurface>
giveLayerRole(platform::wayland::LayerShell& shell, QWidget& widget,
              const platform::wayland::LayerPlacement& placement);

// Hiding made Qt take the wl_surface away; the native window is made again now, while hidden,
// so that the next show finds a surface without a role or buffer.
void renewSurface(QWidget& widget);

} // namespace quill::forms::qt
