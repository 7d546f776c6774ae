#include "forms/qt/ScaledAppBarShell.h"

#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using platform::AppBarData;
using platform::Rect;

// A shell on a 1280x1024 device-pixel screen whose top 30 rows another panel holds: it trims
// queries below that panel and reserves what a bar sets.
class DeviceShell final : public platform::x11::AppBarShell {
public:
    static constexpr int kWidth = 1280, kHeight = 1024, kPanel = 30;

    std::uintptr_t message(std::uint32_t message, AppBarData& data) override {
        if (message == platform::ABM_QUERYPOS && data.uEdge == platform::ABE_TOP) {
            data.rc.top = std::max(data.rc.top, kPanel);
        }
        if (message == platform::ABM_SETPOS) {
            reserved = data.rc;
        }
        return 1;
    }
    void setZOrder(platform::Hwnd, platform::Hwnd) override {}
    void setSkipTaskbar(platform::Hwnd, bool) override {}
    Rect workArea() override {
        Rect area{0, kPanel, kWidth, kHeight};
        if (reserved.top <= area.top) {
            area.top = std::max(area.top, reserved.bottom);
        } else {
            area.bottom = std::min(area.bottom, reserved.top);
        }
        return area;
    }
    std::optional<Rect> windowRect(platform::Hwnd) const override { return reserved; }
    int fileDescriptor() const override { return -1; }
    void processEvents() override {}

    Rect reserved;
};

struct Scaled {
    explicit Scaled(qreal ratio)
        : device(new DeviceShell),
          shell(std::unique_ptr<DeviceShell>(device), [ratio] { return ratio; }) {}

    Rect send(std::uint32_t message, std::uint32_t edge, Rect rect) {
        AppBarData data;
        data.uEdge = edge;
        data.rc = rect;
        shell.message(message, data);
        return data.rc;
    }

    DeviceShell* device;
    forms::qt::ScaledAppBarShell shell;
};

TEST(ScaledAppBarShellTest, ABarThirteenLogicalPixelsThickReservesThatManyDevicePixels) {
    // 1280 x 1024 device pixels at 1.5 are 853 x 682 whole logical ones.
    Scaled top(1.5);
    const Rect free = top.send(platform::ABM_QUERYPOS, platform::ABE_TOP, {0, 0, 853, 682});
    EXPECT_EQ(free, (Rect{0, 20, 853, 682})) << "below the panel's 30 device pixels";
    const Rect placed =
        top.send(platform::ABM_SETPOS, platform::ABE_TOP, {0, free.top, 853, free.top + 13});
    // 13 x 1.5 = 19.5 rounds up, as Qt rounds the window's own height: strut and window agree.
    EXPECT_EQ(top.device->reserved, (Rect{0, 30, 1280, 50}));
    EXPECT_EQ(placed, (Rect{0, 20, 853, 33}));
    EXPECT_EQ(top.shell.windowRect(0), placed);
    EXPECT_EQ(top.shell.workArea(), (Rect{0, 33, 853, 682}));

    // On the bottom edge the strip ends on the screen's last device row.
    Scaled bottom(1.5);
    bottom.send(platform::ABM_SETPOS, platform::ABE_BOTTOM, {0, 682 - 13, 853, 682});
    EXPECT_EQ(bottom.device->reserved, (Rect{0, 1004, 1280, 1024}));
    EXPECT_EQ(bottom.shell.workArea(), (Rect{0, 20, 853, 669}));

    Scaled twice(2);
    twice.send(platform::ABM_SETPOS, platform::ABE_TOP, {0, 15, 640, 28});
    EXPECT_EQ(twice.device->reserved, (Rect{0, 30, 1280, 56}));
}

TEST(ScaledAppBarShellTest, ARectangleTheShellLeavesAloneComesBackAsItWent) {
    for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        Scaled scaled(ratio);
        for (int at = 0; at < 400; at += 7) {
            const Rect rect{at, at / 2, at + 13 + at % 11, at / 2 + 1 + at % 5};
            EXPECT_EQ(scaled.send(platform::ABM_ACTIVATE, platform::ABE_TOP, rect), rect)
                << "at " << ratio << ": " << at;
        }
    }
}

} // namespace
} // namespace quill::testing
