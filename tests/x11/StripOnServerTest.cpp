#include "forms/qt/FormWidget.h"
#include "platform/x11/ServerPicture.h"
#include "support/StripTicks.h"
#include "x11/TestDisplay.h"
#include "x11/XcbApplication.h"

#include <QScreen>
#include <gtest/gtest.h>
#include <memory>

namespace quill::testing {
namespace {

// On an X server the strip is drawn into a picture the server keeps: what the screen shows is
// read back from the server.
struct StripOnServerTest : ::testing::Test {
    std::unique_ptr<StripTicks> strip;

    void SetUp() override {
        QUILL_REQUIRE_DISPLAY();
        strip = std::make_unique<StripTicks>(
            xcbApplication(),
            [this] {
                return strip->widget->screen()->grabWindow(strip->widget->winId()).toImage();
            },
            [this] {
                const auto* picture = strip->widget->serverPicture();
                return picture != nullptr ? picture->pixelsPut() : 0;
            });
    }
};

TEST_F(StripOnServerTest, EveryTickShowsWhatAFullRepaintShows) {
    strip->run(1);
    ASSERT_NE(strip->widget->serverPicture(), nullptr) << "the strip is not drawn on the server";
    strip->runEverySequence();
}

} // namespace
} // namespace quill::testing
