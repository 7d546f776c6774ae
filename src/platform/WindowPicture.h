#pragma once

#include "platform/Desktop.h"

#include <cstdint>
#include <functional>

namespace quill::platform {

// A window's client area drawn by the program into pixels the display keeps, instead of the
// toolkit's backing store: a part that only moved is moved where the pixels are, so a tick sends
// the new columns and no more. The picture takes no input: the pointer acts on the window as if
// it were not there. Rectangles are in the picture's device pixels, its top left corner at
// (0, 0).
class WindowPicture {
public:
    virtual ~WindowPicture() = default;

    // Covers `area` of the window, in its device pixels, `scale` of them to a logical pixel. A
    // new size starts a picture whose pixels are undefined: true then, and the caller puts every
    // pixel before presenting.
    virtual bool place(const Rect& area, int scale) = 0;
    virtual void setShown(bool shown) = 0;
    virtual bool shown() const = 0;
    // Moves the pixels inside `area` by (dx, dy); what leaves `area` is dropped.
    virtual void scroll(const Rect& area, int dx, int dy) = 0;
    // Writes pixels (0x..RRGGBB, the top byte unread; `stride` bytes a row) into `area`.
    virtual void put(const std::uint32_t* pixels, int stride, const Rect& area) = 0;
    // Shows on the screen what the picture now holds in `area`, at the latest with flush().
    virtual void present(const Rect& area) = 0;
    virtual void flush() = 0;

    // Pieces: parts of the picture that move as one, over bare background, each kept by the
    // display in pixels of its own so that moving one sends no pixels and no frame of the
    // picture. False where the display keeps none; then the calls below do nothing.
    virtual bool carriesPieces() const { return false; }
    // Shows piece `id` lying at `whole` through `visible`, above the picture, from the next
    // flush(). `pixels` (as for put(), the whole rectangle) when it looks new, else null.
    virtual void showPiece(std::uintptr_t, const Rect&, const Rect&, const std::uint32_t*, int) {}
    // Takes the piece away once what the picture holds under it is shown, at the next flush().
    virtual void dropPiece(std::uintptr_t) {}

    // Pixels put since the picture was made: what the program had to send.
    long long pixelsPut() const { return pixelsPut_; }

    // Where the display tells when it has shown a frame: a frame has asked and no answer has
    // come yet. One that does not come means the picture is not being shown (covered, the
    // output asleep). Called when the answer comes.
    virtual bool waitingForDisplay() const { return false; }
    std::function<void()> frameShown;

protected:
    long long pixelsPut_ = 0;
};

} // namespace quill::platform
