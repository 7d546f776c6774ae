#include "platform/x11/XConnection.h"

#include <cstdlib>
#include <memory>

namespace quill::platform::x11 {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Longest property we read, in 32-bit items: a long client list still fits.
constexpr std::uint32_t kMaxPropertyItems = 1 << 16;

} // namespace

XConnection::XConnection(const char* display) {
    int screenNumber = 0;
    connection_ = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(connection_) != 0) {
        return;
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem > 0) {
        root_ = it.data->root;
        screenWidth_ = it.data->width_in_pixels;
        screenHeight_ = it.data->height_in_pixels;
    }
}

XConnection::~XConnection() {
    xcb_disconnect(connection_);
}

void XConnection::readScreenSize() {
    const Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, root_), nullptr));
    if (reply) {
        screenWidth_ = reply->width;
        screenHeight_ = reply->height;
    }
}

bool XConnection::ok() const {
    return xcb_connection_has_error(connection_) == 0 && root_ != 0;
}

int XConnection::fileDescriptor() const {
    return ok() ? xcb_get_file_descriptor(connection_) : -1;
}

xcb_atom_t XConnection::atom(const std::string& name) {
    if (auto found = atoms_.find(name); found != atoms_.end()) {
        return found->second;
    }
    const auto cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
    if (!reply) {
        return XCB_ATOM_NONE;
    }
    atoms_[name] = reply->atom;
    return reply->atom;
}

std::optional<std::vector<std::uint32_t>> XConnection::property(xcb_window_t window,
                                                                xcb_atom_t name) {
    const auto cookie = xcb_get_property(connection_, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                         kMaxPropertyItems);
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection_, cookie, nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 32) {
        return std::nullopt;
    }
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::vector<std::uint32_t>(data, data + count);
}

std::uint32_t XConnection::firstItem(xcb_window_t window, xcb_atom_t name) {
    const auto values = property(window, name);
    return values && !values->empty() ? values->front() : 0;
}

void XConnection::setProperty(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                              std::span<const std::uint32_t> values) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, name, type, 32,
                        static_cast<std::uint32_t>(values.size()), values.data());
}

void XConnection::deleteProperty(xcb_window_t window, xcb_atom_t name) {
    xcb_delete_property(connection_, window, name);
}

void XConnection::sendToRoot(xcb_window_t window, xcb_atom_t type,
                             const std::array<std::uint32_t, 5>& data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (std::size_t i = 0; i < data.size(); ++i) {
        event.data.data32[i] = data[i];
    }
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
}

bool XConnection::exists(xcb_window_t window) {
    if (window == XCB_WINDOW_NONE) {
        return false;
    }
    const auto cookie = xcb_get_window_attributes(connection_, window);
    const Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection_, cookie, nullptr));
    return reply != nullptr;
}

bool XConnection::mapped(xcb_window_t window) {
    const auto cookie = xcb_get_window_attributes(connection_, window);
    const Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection_, cookie, nullptr));
    return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

std::optional<Rect> XConnection::screenRect(xcb_window_t window) {
    const auto geometryCookie = xcb_get_geometry(connection_, window);
    const auto originCookie = xcb_translate_coordinates(connection_, window, root_, 0, 0);
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, geometryCookie, nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection_, originCookie, nullptr));
    if (!geometry || !origin) {
        return std::nullopt;
    }
    return Rect{origin->dst_x, origin->dst_y, origin->dst_x + geometry->width,
                origin->dst_y + geometry->height};
}

void XConnection::selectInput(xcb_window_t window, std::uint32_t eventMask) {
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &eventMask);
}

void XConnection::grabServer() {
    xcb_grab_server(connection_);
}

void XConnection::ungrabServer() {
    xcb_ungrab_server(connection_);
    xcb_flush(connection_);
}

void XConnection::flush() {
    xcb_flush(connection_);
}

void XConnection::sync() {
    const Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

} // namespace quill::platform::x11
