#include "platform/x11/ServerPicture.h"

#include "platform/Rects.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/shape.h>

namespace quill::platform::x11 {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

constexpr std::uint8_t kDepth = 24;
constexpr std::uint32_t kPutImageHeader = 24; // bytes before a PutImage request's pixels

bool trueColour0RGB(const xcb_setup_t* setup, xcb_visualid_t visual) {
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem > 0; xcb_screen_next(&screen)) {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem > 0;
             xcb_depth_next(&depth)) {
            for (auto type = xcb_depth_visuals_iterator(depth.data); type.rem > 0;
                 xcb_visualtype_next(&type)) {
                if (type.data->visual_id == visual) {
                    return depth.data->depth == kDepth &&
                           type.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                           type.data->red_mask == 0xff0000 && type.data->green_mask == 0xff00 &&
                           type.data->blue_mask == 0xff;
                }
            }
        }
    }
    return false;
}

bool pixelsIn32Bits(const xcb_setup_t* setup) {
    if (setup->image_byte_order != (std::endian::native == std::endian::little
                                        ? XCB_IMAGE_ORDER_LSB_FIRST
                                        : XCB_IMAGE_ORDER_MSB_FIRST)) {
        return false;
    }
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem > 0;
         xcb_format_next(&format)) {
        if (format.data->depth == kDepth) {
            return format.data->bits_per_pixel == 32;
        }
    }
    return false;
}

} // namespace

ServerPicture::ServerPicture(xcb_connection_t* connection, xcb_window_t parent)
    : connection_(connection) {
    if (connection_ == nullptr || xcb_connection_has_error(connection_) != 0 || !suitable(parent)) {
        return;
    }
    window_ = xcb_generate_id(connection_);
    // No events: the server paints it from its background, and input goes to the parent.
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, parent, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_shape_rectangles(connection_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED, window_, 0, 0, 0, nullptr);
    gc_ = xcb_generate_id(connection_);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

ServerPicture::~ServerPicture() {
    if (!ok()) {
        return;
    }
    xcb_destroy_window(connection_, window_);
    if (pixmap_ != 0) {
        xcb_free_pixmap(connection_, pixmap_);
    }
    xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
}

bool ServerPicture::suitable(xcb_window_t parent) {
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(connection_, &xcb_shape_id);
    if (shape == nullptr || shape->present == 0) {
        return false;
    }
    const Reply<xcb_shape_query_version_reply_t> version(
        xcb_shape_query_version_reply(connection_, xcb_shape_query_version(connection_), nullptr));
    // Input shapes came with 1.1.
    if (!version || (version->major_version == 1 && version->minor_version < 1)) {
        return false;
    }
    const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, parent), nullptr));
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    return attributes && trueColour0RGB(setup, attributes->visual) && pixelsIn32Bits(setup);
}

bool ServerPicture::place(const Rect& area, int) {
    if (!ok() || area.width() <= 0 || area.height() <= 0) {
        return false;
    }
    const bool resized =
        pixmap_ == 0 || area.width() != area_.width() || area.height() != area_.height();
    if (resized) {
        const xcb_pixmap_t old = pixmap_;
        pixmap_ = xcb_generate_id(connection_);
        xcb_create_pixmap(connection_, kDepth, pixmap_, window_,
                          static_cast<std::uint16_t>(area.width()),
                          static_cast<std::uint16_t>(area.height()));
        xcb_change_window_attributes(connection_, window_, XCB_CW_BACK_PIXMAP, &pixmap_);
        if (old != 0) {
            xcb_free_pixmap(connection_, old);
        }
    }
    if (resized || area.left != area_.left || area.top != area_.top) {
        const std::uint32_t values[] = {
            static_cast<std::uint32_t>(area.left), static_cast<std::uint32_t>(area.top),
            static_cast<std::uint32_t>(area.width()), static_cast<std::uint32_t>(area.height())};
        xcb_configure_window(connection_, window_,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             values);
    }
    area_ = area;
    return resized;
}

void ServerPicture::setShown(bool shown) {
    if (!ok() || shown == shown_) {
        return;
    }
    shown_ = shown;
    if (shown) {
        xcb_map_window(connection_, window_);
    } else {
        xcb_unmap_window(connection_, window_);
    }
}

void ServerPicture::scroll(const Rect& area, int dx, int dy) {
    const Rect source = intersection(area, translated(area, {-dx, -dy}));
    if (pixmap_ == 0 || isEmpty(source)) {
        return;
    }
    xcb_copy_area(
        connection_, pixmap_, pixmap_, gc_, static_cast<std::int16_t>(source.left),
        static_cast<std::int16_t>(source.top), static_cast<std::int16_t>(source.left + dx),
        static_cast<std::int16_t>(source.top + dy), static_cast<std::uint16_t>(source.width()),
        static_cast<std::uint16_t>(source.height()));
}

void ServerPicture::put(const std::uint32_t* pixels, int stride, const Rect& area) {
    if (pixmap_ == 0 || area.width() <= 0 || area.height() <= 0) {
        return;
    }
    const auto rowBytes = static_cast<std::uint32_t>(area.width()) * 4;
    const std::uint32_t longest = xcb_get_maximum_request_length(connection_) * 4;
    const int rowsPerRequest =
        static_cast<int>(std::max<std::uint32_t>(1, (longest - kPutImageHeader) / rowBytes));
    std::vector<std::uint32_t> packed;
    for (int top = 0; top < area.height(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, area.height() - top);
        const auto* first = reinterpret_cast<const std::uint8_t*>(pixels) +
                            static_cast<std::ptrdiff_t>(top) * stride;
        if (static_cast<std::uint32_t>(stride) != rowBytes) {
            packed.resize(static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(rows));
            for (int row = 0; row < rows; ++row) {
                const auto* from = reinterpret_cast<const std::uint32_t*>(
                    first + static_cast<std::ptrdiff_t>(row) * stride);
                std::copy_n(from, area.width(),
                            packed.begin() + static_cast<std::ptrdiff_t>(row) * area.width());
            }
            first = reinterpret_cast<const std::uint8_t*>(packed.data());
        }
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, gc_,
                      static_cast<std::uint16_t>(area.width()), static_cast<std::uint16_t>(rows),
                      static_cast<std::int16_t>(area.left),
                      static_cast<std::int16_t>(area.top + top), 0, kDepth,
                      rowBytes * static_cast<std::uint32_t>(rows), first);
    }
    pixelsPut_ += static_cast<long long>(area.width()) * area.height();
}

void ServerPicture::present(const Rect& area) {
    const Rect shown = intersection(area, {0, 0, area_.width(), area_.height()});
    if (!ok() || isEmpty(shown)) {
        return;
    }
    xcb_clear_area(connection_, 0, window_, static_cast<std::int16_t>(shown.left),
                   static_cast<std::int16_t>(shown.top), static_cast<std::uint16_t>(shown.width()),
                   static_cast<std::uint16_t>(shown.height()));
}

void ServerPicture::flush() {
    if (ok()) {
        xcb_flush(connection_);
    }
}

} // namespace quill::platform::x11
