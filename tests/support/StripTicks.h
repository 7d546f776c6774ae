#pragma once

#include "support/QuietBar.h"

#include <QImage>
#include <QRegion>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quill::testing {

// The real bar with its ticks run by the test: after each tick the window on the screen, drawn
// by moving what only moved and painting the rest, must show what a full repaint shows.
// `shown` reads the window's pixels as the screen has them; `painted` counts the pixels the
// program has painted so far.
struct StripTicks : QuietBar {
    StripTicks(QApplication& application, std::function<QImage()> shown,
               std::function<long long()> painted)
        : QuietBar(application), shown_(std::move(shown)), painted_(std::move(painted)) {}

    int ticks = 0;
    // Pixels painted by the moving ticks, against those a whole strip would take.
    long long paintedArea = 0, stripArea = 0;

    void fill(const std::vector<std::string>& titles) {
        form1->List1.clear();
        for (const std::string& title : titles) {
            for (const std::string& line : {title, "http://127.0.0.1/" + title, "About " + title}) {
                form1->List1.addItem(line);
            }
        }
        form1->List1.addItem("end");
    }

    // Runs `count` ticks of the strip's timers, the mover's only while the strip is not held,
    // and compares the window with a full repaint after each.
    void run(int count, bool moving = true) {
        for (int i = 0; i < count; ++i) {
            const long long before = painted_();
            if (moving) {
                form1->Timer1_Timer();
            }
            form1->Timer2_Timer();
            widget->showChanges();
            ++ticks;
            paintedArea += painted_() - before;
            stripArea += static_cast<long long>(widget->width()) * widget->height();
            ASSERT_TRUE(sameAsFullRepaint());
        }
    }

    ::testing::AssertionResult sameAsFullRepaint() const {
        const QImage screen = shown_();
        const QImage full = widget->grab().toImage().convertToFormat(screen.format());
        if (screen.size() != full.size()) {
            return ::testing::AssertionFailure() << "sizes differ at tick " << ticks;
        }
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                if (screen.pixel(x, y) != full.pixel(x, y)) {
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << ", " << y << ") differs at tick " << ticks;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    // The slot launched last, fully on the bar once the next one has entered.
    int shownSlot() const { return form1->LastLaunched == 1 ? 9 : form1->LastLaunched - 1; }

    // Launches, a held strip, captions that resize a moving holder, a reload that shortens the
    // list, the bar moved to the other edge and back.
    void runEverySequence() {
        fill({"First headline", "Second, a little longer than the first", "Third", "Fourth one",
              "Fifth headline of the wire"});
        form1->Command2.press();
        run(900); // launches, the first holders leaving on the left
        ASSERT_GE(ticks, 900);

        // Held as the pointer holds it: the headline underlined, the mover stopped, nothing
        // else painted while Timer2 goes on ticking.
        form1->headline(shownSlot()).setUnderline(true);
        run(1, false);
        const long long beforeHold = paintedArea;
        run(40, false);
        EXPECT_EQ(paintedArea, beforeHold);
        form1->headline(shownSlot()).setUnderline(false);
        run(60);

        form1->headline(shownSlot()).setCaption("A caption grown well beyond what it was");
        run(60);
        form1->headline(shownSlot()).setCaption("Short");
        run(60);

        fill({"Only one after the reload"}); // a shorter list: reading starts over
        run(400);

        form1->AppBar->setEdge(3);
        run(60);
        form1->AppBar->setEdge(1);
        run(60);

        // Moving what only moved is what keeps a tick cheap: far less than the strip is painted.
        EXPECT_LT(paintedArea * 10, stripArea) << paintedArea << " of " << stripArea;
    }

private:
    std::function<QImage()> shown_;
    std::function<long long()> painted_;
};

} // namespace quill::testing
