#include "platform/wayland/SurfacePicture.h"

#include "platform/Rects.h"
#include "platform/wayland/QueuedRegistry.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <viewporter-client.h>
#include <wayland-client.h>

namespace quill::platform::wayland {

namespace {

// damage_buffer came with version 4.
constexpr std::uint32_t kCompositorVersion = 4;
// Frames between asking the compositor to say when it shows one. Every answer wakes the
// toolkit's reading thread and then the program, which cost more than the frame itself; one
// answer in a quarter of a second says as well whether the picture is being shown.
constexpr int kFramesPerQuestion = 16;

struct Globals {
    wl_registry* registry = nullptr;
    std::uint32_t compositor = 0, compositorVersion = 0, subcompositor = 0, shm = 0, viewporter = 0;
};

void global(void* data, wl_registry*, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        globals->compositor = name;
        globals->compositorVersion = version;
    } else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0) {
        globals->subcompositor = name;
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        globals->shm = name;
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
        globals->viewporter = name;
    }
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener{global, globalRemoved};

void bufferReleased(void* data, wl_buffer* buffer) {
    static_cast<SurfacePicture*>(data)->released(buffer);
}
constexpr wl_buffer_listener kBufferListener{bufferReleased};

void frameDone(void* data, wl_callback*, std::uint32_t) {
    static_cast<SurfacePicture*>(data)->frameDone();
}
constexpr wl_callback_listener kFrameListener{frameDone};

template <typename Proxy> void toDefaultQueue(Proxy* proxy) {
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(proxy), nullptr);
}

} // namespace

std::unique_ptr<SurfacePicture> SurfacePicture::make(wl_display* display, wl_surface* parent) {
    // Shared memory holds 0xXXRRGGBB little-endian, as the program's pixels are in memory.
    if (display == nullptr || parent == nullptr || std::endian::native != std::endian::little) {
        return nullptr;
    }
    wl_event_queue* queue = wl_display_create_queue(display);
    Globals globals;
    globals.registry = registryOnQueue(display, queue);
    wl_registry_add_listener(globals.registry, &kRegistryListener, &globals);
    std::unique_ptr<SurfacePicture> picture;
    if (wl_display_roundtrip_queue(display, queue) >= 0 && globals.compositor != 0 &&
        globals.compositorVersion >= kCompositorVersion && globals.subcompositor != 0 &&
        globals.shm != 0) {
        auto* compositor = static_cast<wl_compositor*>(wl_registry_bind(
            globals.registry, globals.compositor, &wl_compositor_interface, kCompositorVersion));
        auto* subcompositor = static_cast<wl_subcompositor*>(wl_registry_bind(
            globals.registry, globals.subcompositor, &wl_subcompositor_interface, 1));
        auto* shm = static_cast<wl_shm*>(
            wl_registry_bind(globals.registry, globals.shm, &wl_shm_interface, 1));
        wp_viewporter* viewporter =
            globals.viewporter == 0
                ? nullptr
                : static_cast<wp_viewporter*>(wl_registry_bind(globals.registry, globals.viewporter,
                                                               &wp_viewporter_interface, 1));
        // What they make sends its events where the toolkit dispatches them.
        toDefaultQueue(compositor);
        toDefaultQueue(subcompositor);
        toDefaultQueue(shm);
        if (viewporter != nullptr) {
            toDefaultQueue(viewporter);
        }
        picture.reset(
            new SurfacePicture(display, compositor, subcompositor, shm, viewporter, parent));
    }
    wl_registry_destroy(globals.registry);
    wl_event_queue_destroy(queue);
    return picture;
}

SurfacePicture::SurfacePicture(wl_display* display, wl_compositor* compositor,
                               wl_subcompositor* subcompositor, wl_shm* shm,
                               wp_viewporter* viewporter, wl_surface* parent)
    : display_(display), compositor_(compositor), subcompositor_(subcompositor), shm_(shm),
      viewporter_(viewporter), parent_(parent) {
    surface_ = inputlessSurface();
    subsurface_ = wl_subcompositor_get_subsurface(subcompositor_, surface_, parent_);
    // Its frames go to the screen when it commits them, not with the toolkit's.
    wl_subsurface_set_desync(subsurface_);
}

SurfacePicture::~SurfacePicture() {
    if (frame_ != nullptr) {
        wl_callback_destroy(frame_);
    }
    dropPieces();
    dropBuffers();
    wl_subsurface_destroy(subsurface_);
    wl_surface_destroy(surface_);
    if (viewporter_ != nullptr) {
        wp_viewporter_destroy(viewporter_);
    }
    wl_shm_destroy(shm_);
    wl_subcompositor_destroy(subcompositor_);
    wl_compositor_destroy(compositor_);
    wl_display_flush(display_);
}

bool SurfacePicture::place(const Rect& area, int scale) {
    if (area.width() <= 0 || area.height() <= 0 || scale < 1) {
        return false;
    }
    const bool resized = buffers_.empty() || area.width() != area_.width() ||
                         area.height() != area_.height() || scale != scale_;
    const bool moved = resized || area.left != area_.left || area.top != area_.top;
    if (resized) {
        dropBuffers(); // at their old size
        dropPieces();
        damage_.clear();
    }
    area_ = area;
    scale_ = scale;
    if (resized) {
        wl_surface_set_buffer_scale(surface_, scale);
        if (!makeBuffer()) {
            return false;
        }
    }
    if (moved) {
        // The place, and the sub-surface itself at first, take effect with the parent's state.
        wl_subsurface_set_position(subsurface_, area.left / scale, area.top / scale);
        wl_surface_commit(parent_);
        wl_display_flush(display_);
    }
    return resized;
}

SurfacePicture::Buffer SurfacePicture::shmBuffer(int width, int height) {
    const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    const int fd = memfd_create("quillmark-picture", MFD_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    void* memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
        memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    Buffer buffer;
    if (memory != MAP_FAILED) {
        wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(bytes));
        // With alpha (always opaque in the pixels): a compositor that culls what an opaque
        // buffer hides stops answering the frame callbacks of the window's own surface beneath,
        // and Qt then takes the window for hidden.
        buffer.buffer =
            wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_ARGB8888);
        buffer.pixels = static_cast<std::uint32_t*>(memory);
        wl_shm_pool_destroy(pool);
    }
    close(fd);
    return buffer;
}

bool SurfacePicture::makeBuffer() {
    const Buffer buffer = shmBuffer(area_.width(), area_.height());
    if (buffer.buffer == nullptr) {
        return false;
    }
    wl_buffer_add_listener(buffer.buffer, &kBufferListener, this);
    buffers_.push_back(buffer);
    return true;
}

void SurfacePicture::dropBuffers() {
    const auto bytes = static_cast<std::size_t>(area_.width()) * area_.height() * 4;
    for (const Buffer& buffer : buffers_) {
        wl_buffer_destroy(buffer.buffer);
        munmap(buffer.pixels, bytes);
    }
    buffers_.clear();
    latest_ = drawing_ = -1;
}

std::uint32_t* SurfacePicture::drawing() {
    if (drawing_ >= 0) {
        return buffers_[static_cast<std::size_t>(drawing_)].pixels;
    }
    const auto free = [this](int index) {
        return index >= 0 && !buffers_[static_cast<std::size_t>(index)].busy;
    };
    int chosen = free(latest_) ? latest_ : -1;
    for (int i = 0; chosen < 0 && i < static_cast<int>(buffers_.size()); ++i) {
        chosen = free(i) ? i : -1;
    }
    if (chosen < 0) {
        if (!makeBuffer()) {
            return nullptr;
        }
        chosen = static_cast<int>(buffers_.size()) - 1;
    }
    std::uint32_t* pixels = buffers_[static_cast<std::size_t>(chosen)].pixels;
    if (latest_ >= 0 && chosen != latest_) {
        std::memcpy(pixels, buffers_[static_cast<std::size_t>(latest_)].pixels,
                    static_cast<std::size_t>(area_.width()) * area_.height() * 4);
    }
    drawing_ = latest_ = chosen;
    return pixels;
}

void SurfacePicture::setShown(bool shown) {
    if (shown == shown_) {
        return;
    }
    shown_ = shown;
    if (!shown) {
        wl_surface_attach(surface_, nullptr, 0, 0);
        wl_surface_commit(surface_);
        if (frame_ != nullptr) {
            wl_callback_destroy(frame_); // an unmapped surface is asked for no frame
            frame_ = nullptr;
        }
        dropPieces();
    }
}

void SurfacePicture::scroll(const Rect& area, int dx, int dy) {
    const Rect inside = intersection(area, {0, 0, area_.width(), area_.height()});
    const Rect source = intersection(inside, translated(inside, {-dx, -dy}));
    std::uint32_t* pixels = isEmpty(source) ? nullptr : drawing();
    if (pixels == nullptr) {
        return;
    }
    const int width = area_.width();
    const auto row = [&](int y) { return pixels + static_cast<std::ptrdiff_t>(y) * width; };
    const auto bytes = static_cast<std::size_t>(source.width()) * 4;
    // Rows move apart from the side they move to, so that none is overwritten before it moves.
    for (int i = 0; i < source.height(); ++i) {
        const int y = dy > 0 ? source.bottom - 1 - i : source.top + i;
        std::memmove(row(y + dy) + source.left + dx, row(y) + source.left, bytes);
    }
}

void SurfacePicture::put(const std::uint32_t* pixels, int stride, const Rect& area) {
    const Rect inside = intersection(area, {0, 0, area_.width(), area_.height()});
    std::uint32_t* target = isEmpty(inside) ? nullptr : drawing();
    if (target == nullptr) {
        return;
    }
    const auto* from = reinterpret_cast<const std::uint8_t*>(pixels) +
                       static_cast<std::ptrdiff_t>(inside.top - area.top) * stride +
                       static_cast<std::ptrdiff_t>(inside.left - area.left) * 4;
    for (int y = inside.top; y < inside.bottom; ++y, from += stride) {
        std::memcpy(target + static_cast<std::ptrdiff_t>(y) * area_.width() + inside.left, from,
                    static_cast<std::size_t>(inside.width()) * 4);
    }
    pixelsPut_ += static_cast<long long>(inside.width()) * inside.height();
}

void SurfacePicture::present(const Rect& area) {
    const Rect inside = intersection(area, {0, 0, area_.width(), area_.height()});
    if (!isEmpty(inside)) {
        damage_.push_back(inside);
    }
}

void SurfacePicture::flush() {
    if (shown_ && drawing_ >= 0 && !damage_.empty()) {
        commit();
    } else if (shown_ && piecesChanged_) {
        askIfDue();
        wl_surface_commit(surface_);
    }
    piecesChanged_ = false;
    for (Piece& piece : dropped_) {
        destroy(piece);
    }
    dropped_.clear();
    wl_display_flush(display_);
}

void SurfacePicture::commit() {
    Buffer& buffer = buffers_[static_cast<std::size_t>(drawing_)];
    wl_surface_attach(surface_, buffer.buffer, 0, 0);
    for (const Rect& rect : damage_) {
        wl_surface_damage_buffer(surface_, rect.left, rect.top, rect.width(), rect.height());
    }
    askIfDue();
    wl_surface_commit(surface_);
    buffer.busy = true;
    drawing_ = -1;
    damage_.clear();
}

wl_surface* SurfacePicture::inputlessSurface() {
    wl_surface* surface = wl_compositor_create_surface(compositor_);
    wl_region* nothing = wl_compositor_create_region(compositor_);
    wl_surface_set_input_region(surface, nothing);
    wl_region_destroy(nothing);
    return surface;
}

void SurfacePicture::askIfDue() {
    if (frame_ == nullptr && ++framesUnasked_ >= kFramesPerQuestion) {
        frame_ = wl_surface_frame(surface_);
        wl_callback_add_listener(frame_, &kFrameListener, this);
        framesUnasked_ = 0;
    }
}

void SurfacePicture::showPiece(std::uintptr_t id, const Rect& whole, const Rect& shown,
                               const std::uint32_t* pixels, int stride) {
    // A crop reaching out of the buffer is an error that ends the connection.
    const Rect visible = intersection(shown, whole);
    auto [entry, made] = pieces_.try_emplace(id);
    Piece& piece = entry->second;
    if (made) {
        piece.surface = inputlessSurface();
        piece.subsurface = wl_subcompositor_get_subsurface(subcompositor_, piece.surface, surface_);
        piece.viewport = wp_viewporter_get_viewport(viewporter_, piece.surface);
    }
    wl_buffer* buffer =
        pixels != nullptr ? bufferOf(pixels, stride, whole.width(), whole.height()) : nullptr;
    if (isEmpty(visible) || (pixels != nullptr && buffer == nullptr) ||
        (piece.buffer == nullptr && buffer == nullptr)) {
        dropPiece(id); // the picture beneath is all there is to show
        return;
    }
    bool committed = false;
    if (buffer != nullptr) {
        wl_surface_attach(piece.surface, buffer, 0, 0);
        wl_surface_damage_buffer(piece.surface, 0, 0, whole.width(), whole.height());
        if (piece.buffer != nullptr) {
            wl_buffer_destroy(piece.buffer); // its memory is never written again
        }
        piece.buffer = buffer;
        committed = true;
    }
    const Point crop{visible.left - whole.left, visible.top - whole.top};
    if (committed ||
        crop != Point{piece.visible.left - piece.whole.left, piece.visible.top - piece.whole.top} ||
        visible.width() != piece.visible.width() || visible.height() != piece.visible.height()) {
        wp_viewport_set_source(piece.viewport, wl_fixed_from_int(crop.x), wl_fixed_from_int(crop.y),
                               wl_fixed_from_int(visible.width()),
                               wl_fixed_from_int(visible.height()));
        wp_viewport_set_destination(piece.viewport, visible.width(), visible.height());
        committed = true;
    }
    if (committed) {
        wl_surface_commit(piece.surface); // held until the picture's commit
    }
    if (visible.left != piece.visible.left || visible.top != piece.visible.top || made) {
        wl_subsurface_set_position(piece.subsurface, visible.left, visible.top);
    }
    piece.whole = whole;
    piece.visible = visible;
    piecesChanged_ = true;
}

void SurfacePicture::dropPiece(std::uintptr_t id) {
    const auto entry = pieces_.find(id);
    if (entry != pieces_.end()) {
        dropped_.push_back(entry->second);
        pieces_.erase(entry);
        piecesChanged_ = true;
    }
}

void SurfacePicture::dropPieces() {
    for (auto& [id, piece] : pieces_) {
        destroy(piece);
    }
    pieces_.clear();
    for (Piece& piece : dropped_) {
        destroy(piece);
    }
    dropped_.clear();
}

void SurfacePicture::destroy(Piece& piece) {
    wp_viewport_destroy(piece.viewport);
    wl_subsurface_destroy(piece.subsurface);
    wl_surface_destroy(piece.surface);
    if (piece.buffer != nullptr) {
        wl_buffer_destroy(piece.buffer);
    }
}

wl_buffer* SurfacePicture::bufferOf(const std::uint32_t* pixels, int stride, int width,
                                    int height) {
    const Buffer buffer = shmBuffer(width, height);
    if (buffer.buffer == nullptr) {
        return nullptr;
    }
    const auto* from = reinterpret_cast<const std::uint8_t*>(pixels);
    for (int y = 0; y < height; ++y, from += stride) {
        std::memcpy(buffer.pixels + static_cast<std::ptrdiff_t>(y) * width, from,
                    static_cast<std::size_t>(width) * 4);
    }
    // The compositor maps the memory itself; the program never writes it again.
    munmap(buffer.pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    pixelsPut_ += static_cast<long long>(width) * height;
    return buffer.buffer;
}

void SurfacePicture::released(wl_buffer* released) {
    for (Buffer& buffer : buffers_) {
        if (buffer.buffer == released) {
            buffer.busy = false;
        }
    }
}

void SurfacePicture::frameDone() {
    wl_callback_destroy(frame_);
    frame_ = nullptr;
    if (frameShown) {
        frameShown();
    }
}

} // namespace quill::platform::wayland
