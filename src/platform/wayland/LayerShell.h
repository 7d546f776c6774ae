#pragma once

#include "platform/wayland/LayerPlacement.h"

#include <cstdint>
#include <functional>
#include <memory>

struct wl_display;
struct wl_event_queue;
struct wl_output;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

namespace quill::platform::wayland {

class LayerSurface;

// The compositor's layer shell on a connection that someone else (the toolkit) owns and
// dispatches. Setting a surface up runs on a queue of our own, so that the toolkit's events are
// not handled out of turn; once configured, a surface's events go to the connection's default
// queue and are handled when the toolkit dispatches it.
class LayerShell {
public:
    // Null when the compositor offers no layer shell.
    static std::unique_ptr<LayerShell> bind(wl_display* display);
    ~LayerShell();
    LayerShell(const LayerShell&) = delete;
    LayerShell& operator=(const LayerShell&) = delete;

    // Gives `surface`, which has no role and no buffer yet, the layer role on `output` and waits
    // for the compositor's first configure. Null when none comes.
    std::unique_ptr<LayerSurface> dock(wl_surface* surface, wl_output* output,
                                       const LayerPlacement& placement);

private:
    LayerShell(wl_display* display, wl_event_queue* queue, zwlr_layer_shell_v1* shell);

    wl_display* display_;
    wl_event_queue* queue_;
    zwlr_layer_shell_v1* shell_;
};

// A wl_surface in the layer role. Ending it takes the role back; the wl_surface stays its
// owner's.
class LayerSurface {
public:
    LayerSurface(wl_surface* surface, zwlr_layer_surface_v1* role);
    ~LayerSurface();
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    // Changes the anchors, size and exclusive zone of the same surface.
    void place(const LayerPlacement& placement);
    // The size of the last configure, in logical pixels.
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    bool configured() const { return configured_; }
    // The compositor will not show it again (its output went away).
    bool closed() const { return closed_; }

    // A configure after the first changed the size.
    std::function<void()> resized;

    // Listener entry points.
    void configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height);
    void close() { closed_ = true; }

private:
    wl_surface* surface_;
    zwlr_layer_surface_v1* role_;
    std::uint32_t width_ = 0, height_ = 0;
    bool configured_ = false;
    bool closed_ = false;
};

// Whether the compositor named by $WAYLAND_DISPLAY offers a layer shell; asked on a connection
// of its own, before the toolkit connects.
bool compositorOffersLayerShell();

} // namespace quill::platform::wayland
