#include "platform/wayland/LayerShell.h"

#include "platform/wayland/QueuedRegistry.h"

#include <cstring>
#include <layer-shell-client.h>
#include <wayland-client.h>

namespace quill::platform::wayland {

namespace {

constexpr std::uint32_t kShellVersion = 1;
// The first configure follows the initial commit; a few round trips are plenty.
constexpr int kConfigureTries = 4;

static_assert(kAnchorTop == ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP &&
              kAnchorBottom == ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM &&
              kAnchorLeft == ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT &&
              kAnchorRight == ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);

struct Globals {
    wl_registry* registry = nullptr;
    std::uint32_t shellName = 0;
    std::uint32_t shellVersion = 0;
};

void global(void* data, wl_registry*, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        auto* globals = static_cast<Globals*>(data);
        globals->shellName = name;
        globals->shellVersion = version;
    }
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener{global, globalRemoved};

void configured(void* data, zwlr_layer_surface_v1*, std::uint32_t serial, std::uint32_t width,
                std::uint32_t height) {
    static_cast<LayerSurface*>(data)->configure(serial, width, height);
}
void closed(void* data, zwlr_layer_surface_v1*) {
    static_cast<LayerSurface*>(data)->close();
}
constexpr zwlr_layer_surface_v1_listener kSurfaceListener{configured, closed};

void apply(zwlr_layer_surface_v1* role, const LayerPlacement& placement) {
    zwlr_layer_surface_v1_set_anchor(role, placement.anchor);
    zwlr_layer_surface_v1_set_size(role, placement.width, placement.height);
    zwlr_layer_surface_v1_set_exclusive_zone(role, placement.exclusiveZone);
    zwlr_layer_surface_v1_set_margin(role, placement.marginTop, 0, 0, placement.marginLeft);
    zwlr_layer_surface_v1_set_keyboard_interactivity(role, placement.keyboard ? 1 : 0);
}

} // namespace

std::unique_ptr<LayerShell> LayerShell::bind(wl_display* display) {
    if (display == nullptr) {
        return nullptr;
    }
    wl_event_queue* queue = wl_display_create_queue(display);
    Globals globals;
    globals.registry = registryOnQueue(display, queue);
    wl_registry_add_listener(globals.registry, &kRegistryListener, &globals);
    zwlr_layer_shell_v1* shell = nullptr;
    if (wl_display_roundtrip_queue(display, queue) >= 0 && globals.shellName != 0) {
        shell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
            globals.registry, globals.shellName, &zwlr_layer_shell_v1_interface, kShellVersion));
    }
    wl_registry_destroy(globals.registry);
    if (shell == nullptr) {
        wl_event_queue_destroy(queue);
        return nullptr;
    }
    return std::unique_ptr<LayerShell>(new LayerShell(display, queue, shell));
}

LayerShell::LayerShell(wl_display* display, wl_event_queue* queue, zwlr_layer_shell_v1* shell)
    : display_(display), queue_(queue), shell_(shell) {}

LayerShell::~LayerShell() {
    // Version 1 has no destroy request: the proxy goes, the compositor's object stays.
    wl_proxy_destroy(reinterpret_cast<wl_proxy*>(shell_));
    wl_event_queue_destroy(queue_);
}

std::unique_ptr<LayerSurface> LayerShell::dock(wl_surface* surface, wl_output* output,
                                               const LayerPlacement& placement) {
    if (surface == nullptr) {
        return nullptr;
    }
    zwlr_layer_surface_v1* role = zwlr_layer_shell_v1_get_layer_surface(
        shell_, surface, output,
        placement.overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_TOP,
        "quillmark");
    auto layer = std::make_unique<LayerSurface>(surface, role);
    zwlr_layer_surface_v1_add_listener(role, &kSurfaceListener, layer.get());
    apply(role, placement);
    wl_surface_commit(surface);
    for (int i = 0; i < kConfigureTries && !layer->configured() && !layer->closed(); ++i) {
        if (wl_display_roundtrip_queue(display_, queue_) < 0) {
            break;
        }
    }
    if (!layer->configured()) {
        return nullptr;
    }
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(role), nullptr);
    return layer;
}

LayerSurface::LayerSurface(wl_surface* surface, zwlr_layer_surface_v1* role)
    : surface_(surface), role_(role) {}

LayerSurface::~LayerSurface() {
    zwlr_layer_surface_v1_destroy(role_);
}

void LayerSurface::place(const LayerPlacement& placement) {
    apply(role_, placement);
    wl_surface_commit(surface_);
}

void LayerSurface::configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(role_, serial);
    const bool changed = configured_ && (width != width_ || height != height_);
    width_ = width;
    height_ = height;
    if (!configured_) {
        configured_ = true; // the caller commits the first buffer
        return;
    }
    wl_surface_commit(surface_);
    if (changed && resized) {
        resized();
    }
}

bool compositorOffersLayerShell() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    Globals globals;
    globals.registry = wl_display_get_registry(display);
    wl_registry_add_listener(globals.registry, &kRegistryListener, &globals);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(globals.registry);
    wl_display_disconnect(display);
    return answered && globals.shellName != 0;
}

} // namespace quill::platform::wayland
