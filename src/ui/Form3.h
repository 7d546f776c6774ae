#pragma once

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "ticker/Services.h"

namespace quill::ticker {
class Form1;
}

namespace quill::ui {

// The options window: the feed list, the reload interval and the screen edge.
class Form3 : public forms::Form {
public:
    // The bar whose interval caption and edge "Apply all" changes.
    Form3(Services& services, ticker::Form1& form1);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Label3_Click();
    void Label5_Click();

    forms::Frame Frame1{*this, "Frame1", 30, 0, 10575, 3015, "-Options-"};
    forms::ListBox List1{Frame1, "List1", 120, 240, 10335, 1815};
    forms::CommandButton Command1{Frame1, "Command1", 9600, 2520, 855, 375, "Cancel"};
    forms::CommandButton Command2{Frame1, "Command2", 8400, 2520, 1095, 375, "Apply all"};
    forms::CommandButton Command3{Frame1, "Command3", 7080, 2160, 1455, 255, "Add rss/xml link"};
    forms::TextBox Text1{Frame1, "Text1", 120, 2160, 6855, 285};
    forms::Label Label1{Frame1, "Label1", 120, 2640, 1455, 255, "Reload news every:", false};
    forms::TextBox Text2{Frame1, "Text2", 1560, 2625, 375, 285, "20"};
    forms::Label Label2{Frame1, "Label2", 1995, 2640, 855, 255, "(minutes)", false};
    forms::Frame Frame2{Frame1, "Frame2", 2760, 2470, 3735, 495, "Display news bar on:"};
    forms::OptionButton Option1{Frame2, "Option1", 120, 240, 1575, 195, "top of the screen", true};
    forms::OptionButton Option2{Frame2, "Option2", 1800, 240, 1815, 195, "bottom of the screen",
                                false};
    forms::CommandButton Command4{
        Frame1, "Command4", 8640, 2160, 1815, 255, "Remove selected link"};
    forms::Label Label3;
    forms::Label Label4{Frame1, "Label4", 6720, 2720, 1575, 255, "Brindlewood", false};
    forms::Label Label5;

private:
    Services& services_;
    ticker::Form1& form1_;
};

} // namespace quill::ui
