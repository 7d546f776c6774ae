#include "feeds/Form2.h"

#include "feeds/FeedExtraction.h"
#include "feeds/LinksFile.h"
#include "feeds/RepIni.h"
#include "platform/Memory.h"
#include "ticker/Form1.h"

namespace quill::feeds {

namespace {

constexpr const char* kSentinel = "end";

// A run's message box lets timers tick, and a minute tick may ask for another run: that one is
// skipped rather than started inside the first.
class RunGuard {
public:
    explicit RunGuard(bool& running) : running_(running), entered_(!running) { running_ = true; }
    ~RunGuard() {
        if (entered_) {
            running_ = false;
        }
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
    bool entered() const { return entered_; }

private:
    bool& running_;
    bool entered_;
};

} // namespace

Form2::Form2(Services& services, ticker::Form1& form1)
    : forms::Form(services.app, "Form2", "Form2", 4800, 3600), services_(services), form1_(form1) {
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void Form2::getlinks() {
    List2.clear();
    for (const std::string& line :
         readLinksFile(services_.folder / kLinksFileName, services_.codePage).lines) {
        List2.addItem(line);
    }
}

void Form2::getnews(const std::string& address) {
    const auto repCharacter = readRepIniFirstChar(services_.folder / "rep.ini", services_.codePage);
    // The downloaded bytes go as soon as they are cut, so a large feed is held once, not twice.
    FeedResult result =
        extractFeed(services_.http.get(address), address, services_.codePage,
                    repCharacter ? std::optional<std::string_view>(*repCharacter) : std::nullopt);
    Text1.setText(std::move(result.workingText));
    // Whole triples only: a broken feed may shift its own headlines, never the next feed's.
    result.fields.resize((result.fields.size() + 2) / 3 * 3);
    if (!result.showBadFeedMessage) {
        channelTitles_[address] = result.fields.front();
    }
    for (const std::string& field : result.fields) {
        List1.addItem(field);
    }
    if (result.showBadFeedMessage) {
        services_.app.messageBox(hwnd(), std::string(kBadFeedMessage), kProgramTitle,
                                 platform::MB_OK);
    }
    for (const std::string& field : List1.items()) {
        List3.addItem(field);
    }
    List1.clear();
}

void Form2::collectFeeds() {
    getlinks();
    channelTitles_.clear();
    for (int i = 2; i < List2.listCount(); ++i) {
        getnews(List2.list(i));
    }
}

void Form2::handOver() {
    forms::ListBox& items = form1_.List1;
    for (const std::string& field : List3.items()) {
        if (items.listCount() >= forms::ListBox::kMaxEntries - 1) {
            break;
        }
        items.addItem(field);
    }
    items.addItem(kSentinel);
}

void Form2::clearWorkingState() {
    List1.clear();
    List3.clear();
    Text1.setText({});
    platform::returnFreedMemory();
}

void Form2::Command1_Click() {
    RunGuard guard(running_);
    if (!guard.entered()) {
        return;
    }
    collectFeeds();
    form1_.Picture13.setVisible(false);
    // The ticker's list is still empty at the first load.
    handOver();
    clearWorkingState();
    form1_.Command2.press();
    form1_.placeBoxes();
}

void Form2::Command2_Click() {
    RunGuard guard(running_);
    if (!guard.entered()) {
        return;
    }
    collectFeeds();
    form1_.Label10.setVisible(false);
    form1_.List1.clear();
    handOver();
    clearWorkingState();
    form1_.Picture13.setVisible(false);
    form1_.Label10.setVisible(false);
}

} // namespace quill::feeds
