#pragma once

#include "platform/x11/AppBarShell.h"

#include <memory>

namespace quill::forms::qt {

class QtBackend;

// The app-bar shell on a Wayland compositor with a layer shell: a docked bar's wl_surface takes
// the layer role, anchored to its edge and reserving its strip. Null when Qt is not on Wayland
// or the compositor has no layer shell.
std::unique_ptr<platform::x11::AppBarShell> makeWaylandAppBarShell(QtBackend& backend);

} // namespace quill::forms::qt
