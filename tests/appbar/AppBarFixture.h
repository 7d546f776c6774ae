#pragma once

#include "appbar/TAppBar.h"
#include "forms/Form.h"
#include "support/FakeRegistry.h"
#include "support/HeadlessBackend.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quill::testing {

// A 1280 x 240 pixel form on a 1280 x 1024 fake screen, with a bar that is not yet attached.
struct AppBarTest : ::testing::Test {
    HeadlessWorld world;
    FakeDesktop& desktop = world.desktop;
    FakeRegistry registry;
    forms::Form form{world.app, "Form1", "Form1", 19200, 3600};
    appbar::TAppBar bar{desktop, registry};

    FakeDesktop::Window& window() { return desktop.window(form.hwnd()); }
    Rect windowRect() { return window().rect; }

    // The bar attached and docked as the ticker does it, with the log cleared afterwards.
    void dockOnTop(int height = 13) {
        bar.Extends(form);
        bar.setEdge(1);
        bar.setDockedHeight(height);
        bar.UpdateBar();
        desktop.calls.clear();
        desktop.shellMessages.clear();
        desktop.ownProcMessages.clear();
    }

    // Logged calls that begin with prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        std::copy_if(desktop.calls.begin(), desktop.calls.end(), std::back_inserter(found),
                     [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return found;
    }

    // Index of the first logged call that begins with prefix, at or after from; -1 if none.
    long indexOf(const std::string& prefix, long from = 0) const {
        for (long i = from; i < static_cast<long>(desktop.calls.size()); ++i) {
            if (desktop.calls[static_cast<std::size_t>(i)].rfind(prefix, 0) == 0) {
                return i;
            }
        }
        return -1;
    }

    std::vector<std::uint32_t> shellMessageNumbers() const {
        std::vector<std::uint32_t> numbers;
        for (const auto& [message, data] : desktop.shellMessages) {
            numbers.push_back(message);
        }
        return numbers;
    }

    bool reachedOwnProc(std::uint32_t message) const {
        const auto& seen = desktop.ownProcMessages;
        return std::find(seen.begin(), seen.end(), message) != seen.end();
    }
};

inline std::uint32_t packPoint(int x, int y) {
    return (static_cast<std::uint32_t>(y) << 16) | (static_cast<std::uint32_t>(x) & 0xFFFFu);
}

} // namespace quill::testing
