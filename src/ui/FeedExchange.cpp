// Form1's menu entries that bring feed lists in from OPML files and write them out as one.

#include "feeds/Form2.h"
#include "feeds/LinksFile.h"
#include "platform/CodePage.h"
#include "ticker/Form1.h"
#include "ui/Form3.h"
#include "ui/Opml.h"

#include <optional>

namespace quill::ticker {

namespace {

forms::FileChoice opmlChoice(forms::FileChoice::Purpose purpose, std::string title) {
    return {purpose, std::move(title), "OPML files", {"*.opml", "*.xml"}, "quillmark-feeds.opml"};
}

} // namespace

void Form1::mnuImport_Click() {
    const auto source = services_.app.backend().chooseFile(
        hwnd(), opmlChoice(forms::FileChoice::Purpose::Open, "Import feeds"));
    if (!source) {
        return;
    }
    const auto say = [this](const std::string& text, std::uint32_t icon) {
        services_.app.messageBox(hwnd(), text, kProgramTitle, icon);
    };
    const auto bytes = feeds::readFileBytes(*source);
    const ui::OpmlFeeds opml = bytes ? ui::readOpml(*bytes) : ui::OpmlFeeds{};
    if (!bytes || !opml.problem.empty()) {
        say("No feeds were imported from " + source->string() + ": " +
                (bytes ? opml.problem : std::string("it could not be read")) + ".",
            platform::MB_ICONEXCLAMATION);
        return;
    }
    const auto linksPath = services_.folder / feeds::kLinksFileName;
    feeds::LinksFile links = feeds::readLinksFile(linksPath, services_.codePage);
    if (links.problem == feeds::LinksFile::Problem::Unreadable) {
        // Writing would replace a file the program could not even read.
        say("No feeds were imported: " + linksPath.string() + " could not be read.",
            platform::MB_ICONEXCLAMATION);
        return;
    }
    const std::vector<std::string> listed(links.lines.begin() + 2, links.lines.end());
    const std::vector<std::string> fresh = ui::unlisted(listed, opml.addresses);
    if (fresh.empty()) {
        say(source->string() + " holds no feed that is not listed already.",
            platform::MB_ICONINFORMATION);
        return;
    }
    links.lines.insert(links.lines.end(), fresh.begin(), fresh.end());
    if (const std::error_code error =
            feeds::writeLinesFile(linksPath, links.lines, services_.codePage)) {
        say("No feeds were imported: " + feeds::describeWriteFailure(linksPath, error),
            platform::MB_ICONEXCLAMATION);
        return;
    }
    // An open options window would write its older list back at "Apply all".
    if (form3().visible()) {
        for (const std::string& address : fresh) {
            form3().List1.addItem(address);
        }
    }
    say(std::to_string(fresh.size()) + (fresh.size() == 1 ? " feed" : " feeds") +
            " imported; the next reload fetches them.",
        platform::MB_ICONINFORMATION);
}

std::optional<std::string> Form1::channelTitle(const std::string& address) const {
    if (!form2_) {
        return std::nullopt;
    }
    const auto& titles = form2_->channelTitles();
    const auto found = titles.find(address);
    if (found == titles.end() || found->second.find_first_not_of(" \t") == std::string::npos) {
        return std::nullopt;
    }
    return found->second;
}

void Form1::mnuExport_Click() {
    const auto linksPath = services_.folder / feeds::kLinksFileName;
    const feeds::LinksFile links = feeds::readLinksFile(linksPath, services_.codePage);
    if (links.problem == feeds::LinksFile::Problem::Unreadable) {
        services_.app.messageBox(
            hwnd(), "The feeds were not exported: " + linksPath.string() + " could not be read.",
            kProgramTitle, platform::MB_ICONEXCLAMATION);
        return;
    }
    std::vector<ui::OpmlOutline> feeds;
    for (auto line = links.lines.begin() + 2; line != links.lines.end(); ++line) {
        if (!line->empty()) {
            feeds.push_back({channelTitle(*line).value_or(*line), *line});
        }
    }
    const auto target = services_.app.backend().chooseFile(
        hwnd(), opmlChoice(forms::FileChoice::Purpose::Save, "Export feeds"));
    if (!target) {
        return;
    }
    if (const std::error_code error =
            feeds::writeLinesFile(*target, ui::writeOpml(feeds), *platform::makeUtf8CodePage())) {
        services_.app.messageBox(
            hwnd(), "The feeds were not exported: " + feeds::describeWriteFailure(*target, error),
            kProgramTitle, platform::MB_ICONEXCLAMATION);
    }
}

} // namespace quill::ticker
