#pragma once

#include "support/XServer.h"

#include <functional>
#include <string>

namespace quill::testing {

// The X server that the tests of this program share, started before the first test with
// DISPLAY pointing at it: a Qt application binds to one display for its whole life.
// Null when Xvfb is not installed; startError() says why it is null otherwise.
XServer* testDisplay();
const std::string& startError();
// Runs before the server ends, e.g. to close a Qt application still connected to it.
void beforeDisplayEnds(std::function<void()> cleanup);

} // namespace quill::testing

// Skips a test when there is no Xvfb here, and fails it when the server would not start.
#define QUILL_REQUIRE_DISPLAY()                                                                    \
    do {                                                                                           \
        if (!::quill::testing::XServer::installed()) {                                             \
            GTEST_SKIP() << "Xvfb or the window manager is not installed";                         \
        }                                                                                          \
        ASSERT_NE(::quill::testing::testDisplay(), nullptr) << ::quill::testing::startError();     \
    } while (false)
