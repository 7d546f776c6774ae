#pragma once

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/TextBox.h"
#include "ticker/Services.h"

#include <map>
#include <string>

namespace quill::ticker {
class Form1;
}

namespace quill::feeds {

// The hidden worker window: fetches every listed feed and hands the ticker its item list.
class Form2 : public forms::Form {
public:
    Form2(Services& services, ticker::Form1& form1);

    void getlinks();
    void getnews(const std::string& address);
    void Command1_Click();
    void Command2_Click();
    // A first load or a reload has started and not yet ended.
    bool running() const { return running_; }
    // The channel title each feed of the last run showed before its marker, by address.
    const std::map<std::string, std::string>& channelTitles() const { return channelTitles_; }

    forms::TextBox Text1{*this, "Text1", 0, 0, 4000, 2000, {}, true};
    forms::ListBox List1{*this, "List1"};
    forms::ListBox List2{*this, "List2"};
    forms::ListBox List3{*this, "List3"};
    forms::Label Label1{*this, "Label1", 0, 0, 100, 100, "\n", false};
    forms::Label Label2{*this, "Label2", 0, 0, 100, 100, "\"", false};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton Command2{*this, "Command2"};

private:
    // Fetches and cuts every feed of the links file into List3.
    void collectFeeds();
    // Appends List3 and the sentinel to the ticker's item list, keeping room for the sentinel.
    void handOver();
    void clearWorkingState();

    Services& services_;
    ticker::Form1& form1_;
    bool running_ = false;
    std::map<std::string, std::string> channelTitles_;
};

} // namespace quill::feeds
