#pragma once

namespace quill::forms::qt {

// Qt cannot unwind through its event dispatch, so a handler's failure ends with the handler.
template <typename Handler> void callGuarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) { // nothing above an event handler could act on it
    }
}

} // namespace quill::forms::qt
