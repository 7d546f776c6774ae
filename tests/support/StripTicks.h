#pragma once

#include "support/QuietBar.h"
#include "support/StripSequence.h"

#include <QImage>
#include <functional>

namespace quill::testing {

// The strip's ticks on the Qt backend. `shown` reads the window's pixels as the screen has them;
// `painted` counts the pixels the program has painted so far; `settle` waits for the window
// manager after a move.
struct StripTicks : QuietBar, StripSequence {
    StripTicks(QApplication& application, std::function<QImage()> shown,
               std::function<long long()> painted, std::function<void()> settle = {})
        : QuietBar(application),
          StripSequence(
              *form1,
              {[this] { widget->showChanges(); }, [this, shown] { return sameImages(shown()); },
               std::move(painted),
               [this] { return static_cast<long long>(widget->width()) * widget->height(); },
               std::move(settle)}) {}

private:
    ::testing::AssertionResult sameImages(const QImage& screen) const {
        const QImage full = widget->grab().toImage().convertToFormat(screen.format());
        if (screen.size() != full.size()) {
            return ::testing::AssertionFailure() << "sizes differ";
        }
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                if (screen.pixel(x, y) != full.pixel(x, y)) {
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << ", " << y << ") differs";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
};

} // namespace quill::testing
