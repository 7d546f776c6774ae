#pragma once

#include "platform/Browser.h"
#include "platform/CodePage.h"
#include "platform/Http.h"
#include "platform/Registry.h"
#include "support/FakeRegistry.h"
#include "support/HeadlessBackend.h"
#include "support/TempFolder.h"
#include "ticker/Form1.h"
#include "ticker/Services.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quill::testing {

// Feeds by address, served in memory; a fetch may take virtual time.
class FakeHttp : public platform::Http {
public:
    platform::HttpResponse get(const std::string& url) override;
    std::map<std::string, std::string> bodies;
    std::vector<std::string> requested;
    std::function<void(const std::string&)> onFetch; // e.g. lets the clock run while "busy"
};

class RecordingBrowser : public platform::Browser {
public:
    void open(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

// The whole program on the headless backend and the fake desktop, in a temporary folder.
struct ProgramFixture {
    ProgramFixture();
    ~ProgramFixture();

    // Writes links.ryx with CR LF after every line.
    void writeLinks(const std::vector<std::string>& lines) const;
    // A feed served at http://feeds.test/<name> with an image and the given items.
    std::string serveFeed(const std::string& name, const std::vector<std::string>& itemTitles);
    // Creates Form1 and runs its load handler, as the program's start does.
    ticker::Form1& start();
    std::vector<std::string> itemList() const;

    HeadlessWorld world;
    TempFolder folder;
    FakeHttp http;
    RecordingBrowser browser;
    FakeRegistry registry;
    std::unique_ptr<platform::CodePage> codePage = platform::makeUtf8CodePage();
    // Exit codes the program asked to end with; the test goes on.
    std::vector<int> exitCodes;
    Services services{
        world.app, http, browser, registry, *codePage, folder.path(), [this](int code) {
            exitCodes.push_back(code);
        }};
    std::unique_ptr<ticker::Form1> form1;
};

} // namespace quill::testing
