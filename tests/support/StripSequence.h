#pragma once

#include "ticker/Form1.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quill::testing {

// How a front end shows the bar to the strip's ticks.
struct StripScreen {
    // Shows the changes the tick made, as the front end does after its timers.
    std::function<void()> showChanges;
    // The window as the screen has it against a full repaint of the same state.
    std::function<::testing::AssertionResult()> sameAsFullRepaint;
    // Pixels the program has painted so far, and the window's whole area.
    std::function<long long()> painted;
    std::function<long long()> windowArea;
    // Waits until the window is where the desktop puts it after a move, when that takes time.
    std::function<void()> settle;
};

// The real bar's ticks run by the test: after each tick the window on the screen, drawn by
// moving what only moved and painting the rest, must show what a full repaint shows.
struct StripSequence {
    StripSequence(ticker::Form1& bar, StripScreen screen) : bar_(bar), screen_(std::move(screen)) {}

    int ticks = 0;
    // Pixels painted by the moving ticks, against those a whole strip would take.
    long long paintedArea = 0, stripArea = 0;

    void fill(const std::vector<std::string>& titles) {
        bar_.List1.clear();
        for (const std::string& title : titles) {
            for (const std::string& line : {title, "http://127.0.0.1/" + title, "About " + title}) {
                bar_.List1.addItem(line);
            }
        }
        bar_.List1.addItem("end");
    }

    // Runs `count` ticks of the strip's timers, the mover's only while the strip is not held,
    // and compares the window with a full repaint after each.
    void run(int count, bool moving = true) {
        for (int i = 0; i < count; ++i) {
            const long long before = screen_.painted();
            if (moving) {
                bar_.Timer1_Timer();
            }
            bar_.Timer2_Timer();
            screen_.showChanges();
            ++ticks;
            paintedArea += screen_.painted() - before;
            stripArea += screen_.windowArea();
            ASSERT_TRUE(screen_.sameAsFullRepaint()) << "at tick " << ticks;
        }
    }

    // The slot launched last, fully on the bar once the next one has entered.
    int shownSlot() const { return bar_.LastLaunched == 1 ? 9 : bar_.LastLaunched - 1; }

    // Launches, a held strip, captions that resize a moving holder, a reload that shortens the
    // list, the bar moved to the other edge and back.
    void runEverySequence() {
        fill({"First headline", "Second, a little longer than the first", "Third", "Fourth one",
              "Fifth headline of the wire"});
        bar_.Command2.press();
        run(900); // launches, the first holders leaving on the left
        ASSERT_GE(ticks, 900);

        // Held as the pointer holds it: the headline underlined, the mover stopped, nothing
        // else painted while Timer2 goes on ticking.
        bar_.headline(shownSlot()).setUnderline(true);
        run(1, false);
        const long long beforeHold = paintedArea;
        run(40, false);
        EXPECT_EQ(paintedArea, beforeHold);
        bar_.headline(shownSlot()).setUnderline(false);
        run(60);

        bar_.headline(shownSlot()).setCaption("A caption grown well beyond what it was");
        run(60);
        bar_.headline(shownSlot()).setCaption("Short");
        run(60);

        fill({"Only one after the reload"}); // a shorter list: reading starts over
        run(400);

        for (const int edge : {3, 1}) {
            bar_.AppBar->setEdge(edge);
            if (screen_.settle) {
                screen_.settle();
            }
            run(60);
        }

        // Moving what only moved is what keeps a tick cheap: far less than the strip is painted.
        EXPECT_LT(paintedArea * 10, stripArea) << paintedArea << " of " << stripArea;
    }

private:
    ticker::Form1& bar_;
    StripScreen screen_;
};

} // namespace quill::testing
