#include "BarFixture.h"

#include <gtest/gtest.h>

namespace quill::testing {

void BarFixture::startShowing(const std::string& interval) {
    feed = serveFeed("news", {"First", "Second", "Third", "Fourth", "Fifth"});
    writeLinks({interval, "True", feed});
    start();
    world.backend.advance(8000);
    ASSERT_GE(form1->LastLaunched, 4);
}

void BarFixture::after(double delay, std::function<void()> action) {
    auto step = std::make_unique<forms::Timer>(*form1, "Step", delay, true);
    forms::Timer* timer = step.get();
    timer->onTimer = [timer, action = std::move(action)] {
        timer->setEnabled(false);
        action();
    };
    steps.push_back(std::move(step));
}

void BarFixture::moveOver(int n) {
    const forms::PictureBox& holder = form1->holder(n);
    const forms::Label& label = form1->headline(n);
    form1->mouseMoveAt(holder.left() + label.left() + label.width() / 2,
                       label.top() + label.height() / 2);
}

float BarFixture::bareX(float y) const {
    for (float x = 0; x < form1->width(); x += 15) {
        bool covered = false;
        for (const forms::Control* control : form1->children()) {
            covered = covered || (control->visible() && x >= control->left() &&
                                  x < control->left() + control->width() && y >= control->top() &&
                                  y < control->top() + control->height());
        }
        if (!covered) {
            return x;
        }
    }
    ADD_FAILURE() << "the holders cover the whole bar";
    return 0;
}

std::vector<float> BarFixture::holderLefts() const {
    std::vector<float> lefts;
    for (int n = 1; n <= ticker::Form1::kSlots; ++n) {
        lefts.push_back(form1->holder(n).left());
    }
    return lefts;
}

std::vector<int> BarFixture::underlined() const {
    std::vector<int> slots;
    for (int n = 1; n <= ticker::Form1::kSlots; ++n) {
        if (form1->headline(n).font().underline) {
            slots.push_back(n);
        }
    }
    return slots;
}

} // namespace quill::testing
