#pragma once

#include "platform/WindowPicture.h"

#include <cstdint>
#include <map>
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
struct wp_viewport;
struct wp_viewporter;

namespace quill::platform::wayland {

// A window's picture on a Wayland compositor: a sub-surface of the toolkit's surface, above it,
// showing buffers of shared memory that the program draws into. A frame moves what only moved
// inside the buffer, writes the new pixels and tells the compositor which part changed; a buffer
// the compositor has given back is drawn into again. Now and then a frame asks the compositor
// to say when it shows it. Works on the toolkit's connection, whose default queue the toolkit
// dispatches; the connection and the parent surface outlive it.
//
// Pieces are sub-surfaces of the picture's, each cropped by a viewport to the part of it that
// is seen; their place and crop take effect with the picture's commit. Moving one sends no
// buffer, so the compositor sends nothing back: a release for each frame's buffer woke the
// toolkit's reading threads and then the program, 64 times a second.
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
    bool carriesPieces() const override { return viewporter_ != nullptr && scale_ == 1; }
    void showPiece(std::uintptr_t id, const Rect& whole, const Rect& visible,
                   const std::uint32_t* pixels, int stride) override;
    void dropPiece(std::uintptr_t id) override;

    // Listener entry points.
    void released(wl_buffer* buffer);
    void frameDone();

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        std::uint32_t* pixels = nullptr;
        bool busy = false; // the compositor may still read it
    };

    struct Piece {
        wl_surface* surface = nullptr;
        wl_subsurface* subsurface = nullptr;
        wp_viewport* viewport = nullptr;
        wl_buffer* buffer = nullptr;
        Rect whole{}, visible{};
    };

    SurfacePicture(wl_display* display, wl_compositor* compositor, wl_subcompositor* subcompositor,
                   wl_shm* shm, wp_viewporter* viewporter, wl_surface* parent);
    // A buffer of shared memory, mapped; none when no memory is left.
    Buffer shmBuffer(int width, int height);
    bool makeBuffer();
    void dropBuffers();
    // The buffer the next frame is drawn in, holding what the picture shows; null when no
    // memory is left.
    std::uint32_t* drawing();
    void commit();
    // A surface that takes no input: the pointer acts on what is beneath.
    wl_surface* inputlessSurface();
    void askIfDue();
    // A buffer of shared memory holding `pixels`; null when no memory is left.
    wl_buffer* bufferOf(const std::uint32_t* pixels, int stride, int width, int height);
    void destroy(Piece& piece);
    void dropPieces();

    wl_display* display_;
    wl_compositor* compositor_;
    wl_subcompositor* subcompositor_;
    wl_shm* shm_;
    wp_viewporter* viewporter_; // null where the compositor has none
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
    std::map<std::uintptr_t, Piece> pieces_;
    // Dropped pieces, destroyed after the next commit; whether one moved since the last.
    std::vector<Piece> dropped_;
    bool piecesChanged_ = false;
};

} // namespace quill::platform::wayland
