#include "forms/ChangesAfterTimers.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quill::testing {
namespace {

struct LoggedWindow : forms::ChangedWindow {
    LoggedWindow(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}
    void showChanges() override { log_.push_back(name_); }
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(ChangesAfterTimersTest, WhatTheTimersChangedShowsOnceWhenTheOutermostRunEnds) {
    std::vector<std::string> shown;
    LoggedWindow bar("bar", shown), options("options", shown), closed("closed", shown);
    forms::ChangesAfterTimers changes;
    changes.run([&] {
        EXPECT_TRUE(changes.collecting());
        changes.add(bar);
        changes.add(closed);
        changes.run([&] { changes.add(options); });
        changes.forget(closed); // destroyed by a handler
        EXPECT_TRUE(shown.empty());
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"bar", "options"}));
    EXPECT_FALSE(changes.collecting());

    shown.clear();
    changes.run([] {});
    EXPECT_TRUE(shown.empty()); // each is shown once
}

TEST(ChangesAfterTimersTest, ALoopInAHandlerShowsTheChangesSoFarAndLetsItsOwnShowThemselves) {
    std::vector<std::string> shown;
    LoggedWindow bar("bar", shown), tip("tip", shown);
    forms::ChangesAfterTimers changes;
    changes.run([&] {
        changes.add(bar);
        changes.outside([&] {
            EXPECT_EQ(shown, (std::vector<std::string>{"bar"}));
            EXPECT_FALSE(changes.collecting());
        });
        EXPECT_TRUE(changes.collecting());
        changes.add(tip);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"bar", "tip"}));
}

} // namespace
} // namespace quill::testing
