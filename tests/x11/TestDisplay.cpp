#include "x11/TestDisplay.h"

#include <cstdlib>
#include <exception>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace quill::testing {

namespace {

std::unique_ptr<XServer> server;
std::string error;
std::vector<std::function<void()>> cleanups;

class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!XServer::installed()) {
            return;
        }
        try {
            server = std::make_unique<XServer>();
            ::setenv("DISPLAY", server->display().c_str(), 1);
        } catch (const std::exception& e) {
            error = e.what();
        }
    }
    void TearDown() override {
        for (auto it = cleanups.rbegin(); it != cleanups.rend(); ++it) {
            (*it)();
        }
        cleanups.clear();
        server.reset();
    }
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

} // namespace

XServer* testDisplay() {
    return server.get();
}

const std::string& startError() {
    return error;
}

void beforeDisplayEnds(std::function<void()> cleanup) {
    cleanups.push_back(std::move(cleanup));
}

} // namespace quill::testing
