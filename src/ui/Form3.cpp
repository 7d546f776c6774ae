#include "ui/Form3.h"

#include "ui/MakerSite.h"

#include <string>

namespace quill::ui {

namespace {

constexpr forms::Color kLinkBlue{0, 0, 192};

void styleAsLink(forms::Label& label) {
    forms::Font font = label.font();
    font.underline = true;
    label.setFont(font);
    label.setForeColor(kLinkBlue);
}

} // namespace

Form3::Form3(Services& services)
    : forms::Form(services.app, "Form3", "Options", 10635, 3255),
      Label3(Frame1, "Label3", 6600, 2520, 1695, 255, kMakerSite, false),
      Label5(*this, "Label5", 1440, 3000, 7455, 255,
             std::string("To learn more about adding news to this list please click this link (or "
                         "visit ") +
                 kMakerSite + "/links1.htm)",
             false),
      services_(services) {
    styleAsLink(Label3);
    styleAsLink(Label5);
}

} // namespace quill::ui
