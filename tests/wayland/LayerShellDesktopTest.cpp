#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/qt/FormWidget.h"
#include "forms/qt/LinuxDesktop.h"
#include "forms/qt/QtBackend.h"
#include "platform/WindowPicture.h"
#include "support/Eventually.h"
#include "support/Programs.h"
#include "support/StripTicks.h"
#include "support/SwayServer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace quill::forms::qt {
namespace {

using namespace platform;
using testing::SwayServer;

constexpr int kWidth = SwayServer::kWidth, kHeight = SwayServer::kHeight, kBar = 13;

// One Sway and one QApplication on it for the whole test program; the application ends first.
struct WaylandSession {
    std::unique_ptr<SwayServer> sway;
    std::unique_ptr<QApplication> application;
    std::string problem;
};

WaylandSession& session() {
    static int argc = 1;
    static char name[] = "test_wayland";
    static char* argv[] = {name, nullptr};
    static WaylandSession started = [] {
        WaylandSession s;
        if (!SwayServer::installed()) {
            s.problem = "sway, swaymsg or setpriv is not installed";
            return s;
        }
        try {
            s.sway = std::make_unique<SwayServer>();
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

// Drawn on a surface of its own, the strip shows on the compositor's screen, tick by tick, what
// Qt's own drawing of the same state shows.
TEST(StripOnCompositorTest, EveryTickShowsWhatAFullRepaintShows) {
    if (!session().problem.empty()) {
        GTEST_SKIP() << session().problem;
    }
    if (!testing::onPath("grim")) {
        GTEST_SKIP() << "grim is not installed";
    }
    std::unique_ptr<testing::StripTicks> strip;
    const auto screenshot = [&] {
        const QRect at = strip->widget->geometry();
        return QImage::fromData(QByteArray::fromStdString(session().sway->screenshot(
                                    {at.left(), at.top(), at.right() + 1, at.bottom() + 1})))
            .convertToFormat(QImage::Format_RGB32);
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
