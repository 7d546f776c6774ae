#pragma once

namespace quill::forms::qt {

// Picks Qt's platform before the application object is made. In a Wayland session whose
// compositor docks panels (a layer shell) the bar is a Wayland client; where it cannot (GNOME)
// it runs on XWayland and docks there as on X11. A platform the user named stays.
void chooseSessionPlatform();

} // namespace quill::forms::qt
