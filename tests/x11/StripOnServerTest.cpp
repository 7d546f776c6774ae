#include "forms/qt/FormWidget.h"
#include "platform/x11/ServerPicture.h"
#include "support/StripTicks.h"
#include "x11/TestDisplay.h"
#include "x11/XcbApplication.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace quill::testing {
namespace {

// On an X server the strip is drawn into a picture the server keeps: what the screen shows is
// read back from the server.
struct StripOnServerTest : ::testing::Test {
    std::unique_ptr<StripTicks> strip;

    void SetUp() override {
        QUILL_REQUIRE_DISPLAY();
        strip = std::make_unique<StripTicks>(
            xcbApplication(), [this] { return shown(); },
            [this] {
                const auto* picture = strip->widget->serverPicture();
                return picture != nullptr ? picture->pixelsPut() : 0;
            },
            [this] { settle(); });
    }

    QImage shown() const {
        return strip->widget->screen()->grabWindow(strip->widget->winId()).toImage();
    }

    // The window manager moves the bar in its own time, in steps the screen shows: wait until
    // the window is where the bar asked and the screen has stopped changing.
    void settle() const {
        const QDeadlineTimer deadline(5000);
        QImage last;
        int sameInARow = 0;
        while (sameInARow < 3 && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QImage now = shown();
            sameInARow = placed() && now == last ? sameInARow + 1 : 0;
            last = std::move(now);
        }
    }

    bool placed() const {
        auto* connection = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const xcb_window_t window = strip->widget->winId();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> at(
            xcb_translate_coordinates_reply(
                connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr),
            &std::free);
        return at && QPoint(at->dst_x, at->dst_y) == strip->widget->pos();
    }
};

TEST_F(StripOnServerTest, EveryTickShowsWhatAFullRepaintShows) {
    strip->run(1);
    ASSERT_NE(strip->widget->serverPicture(), nullptr) << "the strip is not drawn on the server";
    strip->runEverySequence();
}

} // namespace
} // namespace quill::testing
