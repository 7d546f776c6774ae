#include "Win32World.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "forms/win32/Fonts.h"

#include <functional>
#include <vector>

namespace quill::testing {
namespace {

using forms::Color;

constexpr Color kRed{200, 0, 0};
constexpr Color kWhite{255, 255, 255};
constexpr Color kBlue{0, 0, 160};
constexpr Color kGrey{240, 240, 240};

COLORREF ref(Color color) {
    return RGB(color.r, color.g, color.b);
}

class PaintingTest : public Win32World {
protected:
    float tx() { return app.twipsPerPixelX(); }
    float ty() { return app.twipsPerPixelY(); }

    // How many pixels of a client rectangle show the colour.
    int count(RECT rect, Color color) {
        int found = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                found += pixel(form, x, y) == ref(color) ? 1 : 0;
            }
        }
        return found;
    }

    forms::Form form{app, "bar", "Bar", 400 * tx(), 60 * ty()};
};

TEST_F(PaintingTest, LabelsAndPictureBoxesAreDrawnWhereTheyLieInTheirContainers) {
    form.setBackColor(kGrey);
    forms::PictureBox holder(form, "holder", 200 * tx(), 10 * ty(), 150 * tx(), 40 * ty());
    holder.setBackColor(kBlue);
    forms::Label onForm(form, "onForm", 10 * tx(), 10 * ty(), 0, 0, "MMM", true);
    forms::Label inHolder(holder, "inHolder", 20 * tx(), 5 * ty(), 0, 0, "MMM", true);
    for (forms::Label* label : {&onForm, &inHolder}) {
        label->setFont({.family = {}, .pixelSize = 20, .bold = true});
        label->setForeColor(kRed);
        label->setBackColor(kWhite);
    }
    show(form);

    const int width = static_cast<int>(onForm.width() / tx());
    const int height = static_cast<int>(onForm.height() / ty());
    ASSERT_GT(width, 10);
    // The form's own label: text and its back colour inside, the form's colour beside it.
    EXPECT_GT(count({10, 10, 10 + width, 10 + height}, kRed), 20);
    EXPECT_GT(count({10, 10, 10 + width, 10 + height}, kWhite), 20);
    EXPECT_EQ(pixel(form, 5, 5), ref(kGrey));
    EXPECT_EQ(pixel(form, 12 + width, 15), ref(kGrey));
    // The holder's label lies at the holder's corner plus its own offset.
    EXPECT_GT(count({220, 15, 220 + width, 15 + height}, kRed), 20);
    EXPECT_EQ(pixel(form, 205, 12), ref(kBlue));
    EXPECT_EQ(count({200, 10, 218, 50}, kRed), 0);
}

TEST_F(PaintingTest, MovingAContainerRepaintsBothWhereItsContentsWereAndWhereTheyGo) {
    forms::PictureBox holder(form, "holder", 10 * tx(), 10 * ty(), 40 * tx(), 40 * ty());
    holder.setBackColor(kBlue);
    // A frame is a native group box; the label inside it is still the form's to paint.
    forms::Frame frame(form, "frame", 200 * tx(), 0, 100 * tx(), 55 * ty(), "F");
    forms::Label inFrame(frame, "inFrame", 10 * tx(), 25 * ty(), 20 * tx(), 20 * ty(), "", false);
    inFrame.setBackColor(kRed);
    show(form);
    ASSERT_EQ(pixel(form, 30, 30), ref(kBlue));
    ASSERT_EQ(pixel(form, 220, 35), ref(kRed));
    // Its caption row shows the form's colour beside the caption, all but the line's two rows.
    const auto captionRow = [&](int left, Color color) {
        return count({left + 4, 0, left + 5, 20}, color) >= 18 &&
               count({left + 60, 0, left + 61, 20}, color) >= 18;
    };
    EXPECT_TRUE(waitUntil([&] { return captionRow(200, forms::kButtonFace); }));

    holder.move(100 * tx(), 10 * ty(), 40 * tx(), 40 * ty());
    frame.move(300 * tx(), 0, 100 * tx(), 55 * ty());
    ASSERT_TRUE(waitUntil(
        [&] { return pixel(form, 120, 30) == ref(kBlue) && pixel(form, 320, 35) == ref(kRed); }));
    EXPECT_EQ(pixel(form, 30, 30), ref(forms::kButtonFace));
    EXPECT_EQ(pixel(form, 220, 35), ref(forms::kButtonFace));

    form.setBackColor(kWhite);
    EXPECT_TRUE(waitUntil([&] { return pixel(form, 220, 35) == ref(kWhite); }));
    EXPECT_TRUE(waitUntil([&] { return captionRow(300, kWhite); }));
    EXPECT_EQ(pixel(form, 120, 30), ref(kBlue));
}

TEST_F(PaintingTest, ACaptionChangeResizesAnAutoSizeLabelAndShowsTheLongerText) {
    forms::Label label(form, "label", 10 * tx(), 10 * ty(), 0, 0, "ab", true);
    label.setFont({.family = {}, .pixelSize = 16});
    label.setForeColor(kRed);
    show(form);
    const float shortWidth = label.width();
    const float shortHeight = label.height();
    const int oldRight = 10 + static_cast<int>(shortWidth / tx());

    int sizeSeenByHandler = 0;
    label.onChange = [&] { sizeSeenByHandler = static_cast<int>(label.width()); };
    label.setCaption("ab and a good deal more \u00fc");
    EXPECT_GT(label.width(), 4 * shortWidth);
    EXPECT_EQ(label.height(), shortHeight);
    EXPECT_EQ(sizeSeenByHandler, static_cast<int>(label.width()));
    const int newRight = 10 + static_cast<int>(label.width() / tx());
    const int bottom = 10 + static_cast<int>(label.height() / ty());
    EXPECT_TRUE(waitUntil([&] { return count({oldRight, 10, newRight, bottom}, kRed) > 20; }));

    label.setCaption("");
    EXPECT_GT(label.height(), 0.0f) << "an empty caption keeps a line's height";
    EXPECT_LT(label.width(), shortWidth);
}

// Labels are drawn from a rendering kept while they move: after any change of look, a label
// shows exactly what a fresh label with that look shows.
TEST_F(PaintingTest, AMovingLabelShowsItsLatestLookNeverAnEarlierOne) {
    forms::Label changing(form, "changing", 10 * tx(), 5 * ty(), 0, 0, "first", true);
    show(form);
    auto blockAt = [&](int left, int top, int width, int height) {
        std::vector<COLORREF> block;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                block.push_back(pixel(form, x, y));
            }
        }
        return block;
    };
    const std::vector<std::function<void(forms::Label&)>> looks = {
        [](forms::Label& l) { l.setCaption("second, longer"); },
        [](forms::Label& l) { l.setForeColor(kRed); },
        [](forms::Label& l) { l.setBackColor(kBlue); },
        [](forms::Label& l) { l.setFont({.family = {}, .pixelSize = 15, .bold = true}); },
    };
    for (std::size_t step = 0; step < looks.size(); ++step) {
        looks[step](changing);
        changing.setLeft(changing.left() + 7 * tx());
        forms::Label fresh(form, "fresh", 10 * tx(), 30 * ty(), 0, 0, changing.caption(), true);
        fresh.setFont(changing.font());
        fresh.setForeColor(changing.foreColor());
        fresh.setBackColor(changing.backColor());
        const int left = static_cast<int>(changing.left() / tx());
        const int width = static_cast<int>(changing.width() / tx());
        const int height = static_cast<int>(changing.height() / ty());
        ASSERT_TRUE(waitUntil([&] {
            return blockAt(left, 5, width, height) == blockAt(10, 30, width, height);
        })) << "after change "
            << step;
    }
}

TEST_F(PaintingTest, RefreshPaintsAtOnceWithoutTheEventLoop) {
    forms::PictureBox notice(form, "notice", 10 * tx(), 10 * ty(), 100 * tx(), 30 * ty());
    forms::Label text(notice, "text", 5 * tx(), 5 * ty(), 60 * tx(), 20 * ty(), "", false);
    show(form);
    notice.setBackColor(kBlue);
    text.setBackColor(kRed);
    text.refresh();
    notice.refresh();
    // Read without pumping: the thread is about to block in a download.
    HDC dc = GetDC(toHwnd(form.hwnd()));
    EXPECT_EQ(GetPixel(dc, 12, 12), ref(kBlue));
    EXPECT_EQ(GetPixel(dc, 20, 20), ref(kRed));
    ReleaseDC(toHwnd(form.hwnd()), dc);
}

TEST_F(PaintingTest, AFixedBoxShrinksItsCaptionToShowItWhole) {
    forms::win32::Fonts fonts;
    const forms::Font font{.family = {}, .pixelSize = 14, .bold = false, .underline = false};
    const std::wstring text = L"Reload news every:";
    const forms::TextSize natural = fonts.measure(font, "Reload news every:");

    const auto roomy = fonts.fit(font, text, {natural.width + 2, natural.height});
    EXPECT_EQ(roomy.font.pixelSize, 14);
    EXPECT_FALSE(roomy.wraps);

    const LONG narrow = natural.width * 4 / 5;
    const auto shrunk = fonts.fit(font, text, {narrow, natural.height});
    EXPECT_LT(shrunk.font.pixelSize, 14);
    EXPECT_GE(shrunk.font.pixelSize, forms::win32::Fonts::kSmallestFittedPixelSize);
    EXPECT_LE(fonts.measure(shrunk.font, "Reload news every:").width, narrow);
    EXPECT_FALSE(shrunk.wraps);

    // Two lines' height: the caption wraps at its words before it shrinks.
    const auto wrapped = fonts.fit(font, text, {narrow, 2 * natural.height + 2});
    EXPECT_TRUE(wrapped.wraps);
    EXPECT_EQ(wrapped.font.pixelSize, 14);

    // Nothing fits in a sliver: the smallest size, shortened when drawn.
    EXPECT_EQ(fonts.fit(font, text, {10, natural.height}).font.pixelSize,
              forms::win32::Fonts::kSmallestFittedPixelSize);
}

// What the timers change is shown once their tick is over; a loop a handler runs shows what
// they changed so far first.
TEST_F(PaintingTest, WhatATimerChangesIsOnTheScreenOnceItsTickIsOver) {
    form.setBackColor(kGrey);
    forms::PictureBox box(form, "box", 10 * tx(), 10 * ty(), 50 * tx(), 20 * ty());
    box.setBackColor(kBlue);
    show(form);
    ASSERT_EQ(pixel(form, 20, 20), ref(kBlue));

    COLORREF withinTheLoop = 0;
    bool ticked = false;
    forms::Timer timer(form, "timer", 30, true);
    timer.onTimer = [&] {
        timer.setEnabled(false);
        box.setBackColor(kRed);
        backend.pumpEvents();
        withinTheLoop = pixel(form, 20, 20);
        box.setBackColor(kWhite);
        ticked = true;
    };
    ASSERT_TRUE(waitUntil([&] { return ticked; }));
    EXPECT_EQ(withinTheLoop, ref(kRed));
    EXPECT_EQ(pixel(form, 20, 20), ref(kWhite));
}

} // namespace
} // namespace quill::testing
