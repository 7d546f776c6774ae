#pragma once

namespace quill::forms {

// Neither Qt's event dispatch nor a window procedure can be unwound through, so a handler's
// failure ends with the handler.
template <typename Handler> void callGuarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) { // nothing above an event handler could act on it
    }
}

} // namespace quill::forms
