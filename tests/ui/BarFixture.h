#pragma once

#include "forms/Timer.h"
#include "support/ProgramFixture.h"

#include <functional>
#include <memory>
#include <vector>

namespace quill::testing {

// The program with headlines on the strip and a user who points with a scripted pointer.
struct BarFixture : ProgramFixture {
    // Starts the program with one feed and lets the strip run until several slots show.
    void startShowing(const std::string& interval = "20");
    // Runs `action` once, `delay` milliseconds of virtual time from now, as a timer would.
    void after(double delay, std::function<void()> action);
    void pointAt(int x, int y) { world.desktop.cursor = {x, y}; }
    // Delivers a mouse move over the middle of headline n, as the backend does.
    void moveOver(int n);
    // Where at height y (twips) the bar's own surface shows, between or beside the holders.
    float bareX(float y) const;
    std::vector<float> holderLefts() const;
    std::vector<int> underlined() const;
    double now() { return world.backend.now(); }

    std::string feed;
    std::vector<std::unique_ptr<forms::Timer>> steps;
};

} // namespace quill::testing
