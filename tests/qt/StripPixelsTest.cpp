#include "QtWorld.h"
#include "support/StripTicks.h"

#include <gtest/gtest.h>
#include <memory>

namespace quill::testing {
namespace {

// Through Qt's backing store, as on Wayland and at a fractional scale.
struct StripPixelsTest : ::testing::Test {
    StripTicks strip{offscreenApplication(), [this] { return screenImage(*strip.widget); },
                     [this] {
                         long long area = 0;
                         for (const QRegion& region : recorder->regions) {
                             for (const QRect& rect : region) {
                                 area += static_cast<long long>(rect.width()) * rect.height();
                             }
                         }
                         return area;
                     }};

    std::unique_ptr<PaintRecorder> recorder = std::make_unique<PaintRecorder>(*strip.widget);
};

TEST_F(StripPixelsTest, EveryTickShowsWhatAFullRepaintShows) {
    strip.runEverySequence();
}

} // namespace
} // namespace quill::testing
