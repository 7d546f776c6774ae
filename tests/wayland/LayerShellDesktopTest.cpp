#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/LinuxDesktop.h"
#include "forms/qt/QtBackend.h"
#include "platform/WindowPicture.h"
#include "platform/wayland/SurfacePicture.h"
#include "support/Compositor.h"
#include "support/Eventually.h"
#include "support/StripTicks.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QWindow>
#include <QtGui/qpa/qplatformnativeinterface.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace quill::forms::qt {
namespace {

using namespace platform;
using testing::Compositor;

constexpr int kWidth = Compositor::kWidth, kHeight = Compositor::kHeight, kBar = 13;

// One Sway and one QApplication on it for the whole test program; the application ends first.
struct WaylandSession {
    std::unique_ptr<Compositor> sway;
    std::unique_ptr<QApplication> application;
    std::string problem;
};

// The compositor's pixels as an image; a null one when there are none.
QImage imageOf(const std::string& bgra, int width, int height) {
    return QImage(reinterpret_cast<const uchar*>(bgra.data()), bgra.empty() ? 0 : width, height,
                  QImage::Format_RGB32)
        .copy();
}

WaylandSession& session() {
    static int argc = 1;
    static char name[] = "test_wayland";
    static char* argv[] = {name, nullptr};
    static WaylandSession started = [] {
        WaylandSession s;
        if (const auto missing = Compositor::missing(Compositor::Kind::Sway)) {
            s.problem = *missing;
            return s;
        }
        try {
            s.sway = std::make_unique<Compositor>();
        } catch (const std::exception& failure) {
            s.problem = failure.what();
            return s;
        }
        for (const auto& [variable, value] : s.sway->clientEnvironment()) {
            ::setenv(variable.c_str(), value.c_str(), 1);
        }
        // Qt's window decoration plugin, unloaded at exit, keeps an allocation that the leak
        // checker can no longer name; the bar has no decoration anyway.
        ::setenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1", 1);
        ::unsetenv("QT_QPA_PLATFORM");
        ::unsetenv("DISPLAY");
        // The program's own choice of platform, as at its start.
        QtBackend::prepareEnvironment();
        s.application = std::make_unique<QApplication>(argc, argv);
        return s;
    }();
    return started;
}

class LayerShellDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!session().problem.empty()) {
            GTEST_SKIP() << session().problem;
        }
        ASSERT_EQ(QApplication::platformName(), QStringLiteral("wayland"));
        backend_ = std::make_unique<QtBackend>();
        desktop_ = std::make_unique<LinuxDesktop>(*backend_);
        app_ = std::make_unique<forms::Application>(*backend_, *desktop_);
        backend_->attach(*app_);
    }

    std::uintptr_t shell(std::uint32_t message, Hwnd bar, std::uint32_t edge, Rect rect = {}) {
        AppBarData data;
        data.hWnd = bar;
        data.uEdge = edge;
        data.rc = rect;
        return desktop_->SHAppBarMessage(message, data);
    }

    void dock(Hwnd bar, std::uint32_t edge, const Rect& rect) {
        EXPECT_EQ(shell(ABM_SETPOS, bar, edge, rect), 1u);
        desktop_->SetWindowPos(bar, 0, rect.left, rect.top, rect.width(), rect.height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Qt handles the compositor's events while the test waits.
    bool usableAreaComesTo(const Rect& expected) {
        return testing::eventually([&] {
            QCoreApplication::processEvents();
            return session().sway->usableArea() == expected;
        });
    }

    std::unique_ptr<QtBackend> backend_;
    std::unique_ptr<LinuxDesktop> desktop_;
    std::unique_ptr<forms::Application> app_;
};

TEST_F(LayerShellDesktopTest, ABarKeepsItsStripWhenShownAgainMovesItToTheOtherEdgeAndGivesItBack) {
    forms::Form form(*app_, "Form1", "Form1", 19200, 195);
    const Hwnd bar = form.hwnd();
    ASSERT_EQ(shell(ABM_NEW, bar, ABE_TOP), 1u);
    const Rect top{0, 0, kWidth, kBar};
    dock(bar, ABE_TOP, top);
    desktop_->ShowWindow(bar, SW_SHOW);
    EXPECT_TRUE(usableAreaComesTo({0, kBar, kWidth, kHeight}));
    Rect rect;
    EXPECT_TRUE(desktop_->GetWindowRect(bar, rect));
    EXPECT_EQ(rect, top) << "Qt knows no place for a layer surface; the shell does";
    EXPECT_TRUE(desktop_->GetWorkArea(rect));
    EXPECT_EQ(rect, (Rect{0, kBar, kWidth, kHeight}));

    // Hiding gives the strip back; showing again must take it again, on a new surface.
    desktop_->ShowWindow(bar, SW_HIDE);
    EXPECT_TRUE(usableAreaComesTo({0, 0, kWidth, kHeight}));
    desktop_->ShowWindow(bar, SW_SHOW);
    EXPECT_TRUE(usableAreaComesTo({0, kBar, kWidth, kHeight})) << "shown again, the bar is lost";

    // The edge changes while the bar is shown: the same surface is anchored anew.
    dock(bar, ABE_BOTTOM, {0, kHeight - kBar, kWidth, kHeight});
    EXPECT_TRUE(usableAreaComesTo({0, 0, kWidth, kHeight - kBar}));

    EXPECT_EQ(shell(ABM_REMOVE, bar, ABE_BOTTOM), 1u);
    EXPECT_TRUE(usableAreaComesTo({0, 0, kWidth, kHeight}));
    EXPECT_TRUE(desktop_->GetWorkArea(rect));
    EXPECT_EQ(rect, (Rect{0, 0, kWidth, kHeight}));
}

// The picture moves pixels inside its buffer. Drawn straight after the frame before, while the
// compositor may still hold that buffer, a frame goes into another one that must start as a
// copy of it.
TEST_F(LayerShellDesktopTest, APictureShowsItsPixelsMovedEachWayAndKeepsThemInANewBuffer) {
    forms::Form form(*app_, "Form1", "Form1", 19200, 195);
    const Hwnd bar = form.hwnd();
    ASSERT_EQ(shell(ABM_NEW, bar, ABE_TOP), 1u);
    dock(bar, ABE_TOP, {0, 0, kWidth, kBar});
    desktop_->ShowWindow(bar, SW_SHOW);
    ASSERT_TRUE(usableAreaComesTo({0, kBar, kWidth, kHeight}));
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto picture = platform::wayland::SurfacePicture::make(
        static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")),
        static_cast<wl_surface*>(
            native->nativeResourceForWindow("surface", backend_->widgetFor(bar)->windowHandle())));
    ASSERT_TRUE(picture);

    constexpr int kSide = kBar;
    const Rect whole{0, 0, kSide, kSide};
    const auto pattern = [](int x, int y) {
        return static_cast<std::uint32_t>(0xff000000u | (x * 19 % 256) << 16 | (y * 23 % 256) << 8 |
                                          ((x + y) * 7 % 256));
    };
    std::vector<std::uint32_t> drawn;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            drawn.push_back(pattern(x, y));
        }
    }
    struct Move {
        Rect area;
        int dx, dy;
    };
    for (const Move& move :
         {Move{whole, -3, 0}, Move{whole, 3, 0}, Move{whole, 0, 2}, Move{whole, 0, -2},
          Move{{2, 1, 11, 12}, -4, 1}, Move{{2, 1, 11, 12}, 3, -3}}) {
        picture->place(whole, 1);
        picture->put(drawn.data(), kSide * 4, whole);
        picture->present(whole);
        picture->setShown(true);
        picture->flush();
        picture->scroll(move.area, move.dx, move.dy);
        picture->present(whole);
        picture->flush();
        // A pixel that lands inside the area after the move came from where it stood before;
        // the rest keep their own.
        const auto expected = [&](int x, int y) {
            const bool moved = x >= move.area.left && x < move.area.right && y >= move.area.top &&
                               y < move.area.bottom && x - move.dx >= move.area.left &&
                               x - move.dx < move.area.right && y - move.dy >= move.area.top &&
                               y - move.dy < move.area.bottom;
            return moved ? pattern(x - move.dx, y - move.dy) : pattern(x, y);
        };
        const auto shownAsExpected = [&] {
            QCoreApplication::processEvents();
            const QImage shown = imageOf(session().sway->screenshot(whole), kSide, kSide);
            for (int y = 0; y < kSide; ++y) {
                for (int x = 0; x < kSide; ++x) {
                    if (shown.isNull() || shown.pixel(x, y) != expected(x, y)) {
                        return false;
                    }
                }
            }
            return true;
        };
        EXPECT_TRUE(testing::eventually(shownAsExpected))
            << "moved by (" << move.dx << ", " << move.dy << ")";
    }
}

// Drawn on a surface of its own, the strip shows on the compositor's screen, tick by tick, what
// Qt's own drawing of the same state shows.
TEST(StripOnCompositorTest, EveryTickShowsWhatAFullRepaintShows) {
    if (!session().problem.empty()) {
        GTEST_SKIP() << session().problem;
    }
    std::unique_ptr<testing::StripTicks> strip;
    const auto screenshot = [&] {
        const QRect at = strip->widget->geometry();
        return imageOf(
            session().sway->screenshot({at.left(), at.top(), at.right() + 1, at.bottom() + 1}),
            at.width(), at.height());
    };
    // The compositor shows a frame once it asks for one: the screen is read until it shows what
    // Qt draws, or the wait ends and the comparison fails.
    const auto shown = [&] {
        const QImage full = strip->widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage screen;
        testing::eventually([&] {
            QCoreApplication::processEvents();
            screen = screenshot();
            return screen == full;
        });
        return screen;
    };
    const auto painted = [&] {
        const auto* picture = strip->widget->serverPicture();
        return picture != nullptr ? picture->pixelsPut() : 0;
    };
    // The compositor moves the bar to its new edge.
    const auto settle = [&] {
        EXPECT_TRUE(testing::eventually([&] {
            QCoreApplication::processEvents();
            const auto area = session().sway->usableArea();
            return area &&
                   (strip->form1->AppBar->Edge() == 1 ? area->top > 0 : area->bottom < kHeight);
        }));
    };
    strip = std::make_unique<testing::StripTicks>(*session().application, shown, painted, settle);
    strip->run(1);
    ASSERT_NE(strip->widget->serverPicture(), nullptr) << "the strip is not drawn on a surface";
    strip->runEverySequence();
}

} // namespace
} // namespace quill::forms::qt
