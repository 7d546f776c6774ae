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

    // The bar slides to its new edge in many steps, and the window manager and Qt follow them in
    // their own time: wait until the window is docked at the edge the bar asked for, as the
    // server has it and as Qt has it, and the screen has stopped changing. Stable pictures
    // alone are not enough: under load the slide can pause for several of them.
    void settle() const {
        const QDeadlineTimer deadline(30000);
        QImage last;
        int sameInARow = 0;
        while (sameInARow < 3 && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QImage now = shown();
            sameInARow = docked() && now == last ? sameInARow + 1 : 0;
            last = std::move(now);
        }
        EXPECT_EQ(sameInARow, 3) << "the bar did not come to rest at its edge";
    }

    bool docked() const {
        auto* connection = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const xcb_window_t window = strip->widget->winId();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> at(
            xcb_translate_coordinates_reply(
                connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr),
            &std::free);
        if (!at || QPoint(at->dst_x, at->dst_y) != strip->widget->pos()) {
            return false;
        }
        const QRect screen = strip->widget->screen()->geometry();
        return strip->form1->AppBar->Edge() == 1
                   ? strip->widget->geometry().top() == screen.top()
                   : strip->widget->geometry().bottom() == screen.bottom();
    }
};

TEST_F(StripOnServerTest, EveryTickShowsWhatAFullRepaintShows) {
    strip->run(1);
    ASSERT_NE(strip->widget->serverPicture(), nullptr) << "the strip is not drawn on the server";
    strip->runEverySequence();
}

} // namespace
} // namespace quill::testing
