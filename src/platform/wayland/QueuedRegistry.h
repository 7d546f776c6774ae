#pragma once

struct wl_display;
struct wl_event_queue;
struct wl_registry;

namespace quill::platform::wayland {

// The display's registry with its events on `queue`: globals are bound on a queue of our own,
// so that the toolkit's events on the connection are not handled out of turn.
wl_registry* registryOnQueue(wl_display* display, wl_event_queue* queue);

} // namespace quill::platform::wayland
