#pragma once

#include "platform/WindowPicture.h"

#include <cstdint>
#include <memory>
#include <vector>

struct wl_buffer;
struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_shm;
struct wl_subcompositor;
struct wl_subsurface;
struct wl_surface;

namespace quill::platform::wayland {

// A window's picture on a Wayland compositor: a sub-surface of the toolkit's surface, above it,
// showing buffers of shared memory that the program draws into. A frame moves what only moved
// inside the buffer, writes the new pixels and tells the compositor which part changed; a buffer
// the compositor has given back is drawn into again. Now and then a frame asks the compositor
// to say when it shows it. Works on the toolkit's connection, whose default queue the toolkit
// dispatches; the connection and the parent surface outlive it.
class SurfacePicture final : public WindowPicture {
public:
    // Null when the compositor lacks sub-surfaces or shared memory.
    static std::unique_ptr<SurfacePicture> make(wl_display* display, wl_surface* parent);
    ~SurfacePicture() override;
    SurfacePicture(const SurfacePicture&) = delete;
    SurfacePicture& operator=(const SurfacePicture&) = delete;

    bool place(const Rect& area, int scale) override;
    void setShown(bool shown) override;
    bool shown() const override { return shown_; }
    void scroll(const Rect& area, int dx, int dy) override;
    void put(const std::uint32_t* pixels, int stride, const Rect& area) override;
    void present(const Rect& area) override;
    void flush() override;
    bool waitingForDisplay() const override { return frame_ != nullptr; }

    // Listener entry points.
    void released(wl_buffer* buffer);
    void frameDone();

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        std::uint32_t* pixels = nullptr;
        bool busy = false; // the compositor may still read it
    };

    SurfacePicture(wl_display* display, wl_compositor* compositor, wl_subcompositor* subcompositor,
                   wl_shm* shm, wl_surface* parent);
    bool makeBuffer();
    void dropBuffers();
    // The buffer the next frame is drawn in, holding what the picture shows; null when no
    // memory is left.
    std::uint32_t* drawing();
    void commit();

    wl_display* display_;
    wl_compositor* compositor_;
    wl_subcompositor* subcompositor_;
    wl_shm* shm_;
    wl_surface* parent_;
    wl_surface* surface_ = nullptr;
    wl_subsurface* subsurface_ = nullptr;
    wl_callback* frame_ = nullptr;
    std::vector<Buffer> buffers_;
    // The buffer holding the picture as last drawn, and the one being drawn for the next frame.
    int latest_ = -1, drawing_ = -1;
    std::vector<Rect> damage_;
    Rect area_{};
    int scale_ = 1;
    bool shown_ = false;
    int framesUnasked_ = 0;
};

} // namespace quill::platform::wayland
