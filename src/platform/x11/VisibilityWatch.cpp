#include "platform/x11/VisibilityWatch.h"

#include "platform/x11/XConnection.h"

#include <cstdlib>
#include <xcb/xcbext.h>

namespace quill::platform::x11 {

namespace {

// MIT-SCREEN-SAVER, spoken directly: two requests and one event are all we need of it, not
// worth a library of its own.
xcb_extension_t screenSaverExtension = {"MIT-SCREEN-SAVER", 0};
constexpr std::uint8_t kQueryInfo = 1, kSelectInput = 2;
constexpr std::uint32_t kNotifyMask = 1;
constexpr std::uint8_t kSaverOff = 0, kSaverDisabled = 3;

struct QueryInfoRequest {
    std::uint8_t major = 0, minor = 0;
    std::uint16_t length = 0;
    std::uint32_t drawable = 0;
};
struct SelectInputRequest {
    std::uint8_t major = 0, minor = 0;
    std::uint16_t length = 0;
    std::uint32_t drawable = 0, eventMask = 0;
};
// The reply to QueryInfo and the Notify event both carry the saver's state in their second byte.
struct StateInSecondByte {
    std::uint8_t responseType = 0, state = 0;
};

template <typename Request>
unsigned int send(xcb_connection_t* connection, const Request& request, std::uint8_t minor,
                  bool reply) {
    // xcb writes the header into the two vectors before the request's own.
    iovec parts[4] = {};
    parts[2].iov_base = const_cast<Request*>(&request);
    parts[2].iov_len = sizeof(Request);
    const xcb_protocol_request_t kind = {1, &screenSaverExtension, minor,
                                         static_cast<std::uint8_t>(reply ? 0 : 1)};
    return xcb_send_request(connection, reply ? XCB_REQUEST_CHECKED : 0, parts + 2, &kind);
}

bool blanking(std::uint8_t state) {
    return state != kSaverOff && state != kSaverDisabled;
}

} // namespace

std::unique_ptr<VisibilityWatch> VisibilityWatch::connect() {
    auto x = std::make_unique<XConnection>();
    if (!x->ok()) {
        return nullptr;
    }
    return std::make_unique<VisibilityWatch>(std::move(x));
}

VisibilityWatch::VisibilityWatch(std::unique_ptr<XConnection> x) : x_(std::move(x)) {
    watchScreenSaver();
}

VisibilityWatch::~VisibilityWatch() = default;

void VisibilityWatch::watchScreenSaver() {
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(x_->raw(), &screenSaverExtension);
    if (extension == nullptr || extension->present == 0) {
        return;
    }
    screenSaverEvent_ = extension->first_event;
    send(x_->raw(), SelectInputRequest{0, 0, 0, x_->root(), kNotifyMask}, kSelectInput, false);
    blanked_ = screenSaverOn();
}

bool VisibilityWatch::screenSaverOn() {
    const unsigned int sequence =
        send(x_->raw(), QueryInfoRequest{0, 0, 0, x_->root()}, kQueryInfo, true);
    xcb_generic_error_t* error = nullptr;
    void* reply = xcb_wait_for_reply(x_->raw(), sequence, &error);
    std::free(error);
    const bool on = reply != nullptr && blanking(static_cast<StateInSecondByte*>(reply)->state);
    std::free(reply);
    return on;
}

template <typename Change> void VisibilityWatch::reporting(Change&& change) {
    std::map<Hwnd, bool> before;
    for (const auto& [window, covered] : covered_) {
        before[window] = seen(window);
    }
    change();
    for (const auto& [window, was] : before) {
        if (covered_.count(window) != 0 && seen(window) != was && changed) {
            changed(window, !was);
        }
    }
}

void VisibilityWatch::watch(Hwnd window) {
    covered_.emplace(window, false);
    x_->selectInput(static_cast<xcb_window_t>(window), XCB_EVENT_MASK_VISIBILITY_CHANGE);
    // The server must have taken the selection before anyone maps or covers the window: a
    // change it sees first is never reported, and the window would count as seen while covered.
    x_->sync();
}

void VisibilityWatch::forget(Hwnd window) {
    covered_.erase(window);
}

bool VisibilityWatch::seen(Hwnd window) const {
    const auto found = covered_.find(window);
    return !blanked_ && (found == covered_.end() || !found->second);
}

int VisibilityWatch::fileDescriptor() const {
    return x_->fileDescriptor();
}

void VisibilityWatch::processEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_->raw())) {
        const int type = event->response_type & 0x7F;
        reporting([&] {
            if (type == XCB_VISIBILITY_NOTIFY) {
                const auto* visibility = reinterpret_cast<xcb_visibility_notify_event_t*>(event);
                if (auto found = covered_.find(visibility->window); found != covered_.end()) {
                    found->second = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
                }
            } else if (screenSaverEvent_ != 0 && type == screenSaverEvent_) {
                blanked_ = blanking(reinterpret_cast<StateInSecondByte*>(event)->state);
            }
        });
        std::free(event);
    }
}

} // namespace quill::platform::x11
