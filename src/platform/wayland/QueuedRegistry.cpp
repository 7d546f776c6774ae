#include "platform/wayland/QueuedRegistry.h"

#include <wayland-client.h>

namespace quill::platform::wayland {

wl_registry* registryOnQueue(wl_display* display, wl_event_queue* queue) {
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    wl_registry* registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    return registry;
}

} // namespace quill::platform::wayland
