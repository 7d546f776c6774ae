#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::ui {

struct OpmlFeeds {
    // The web addresses of the outlines, in document order, each once.
    std::vector<std::string> addresses;
    // Why the document was not read as OPML; empty when it was.
    std::string problem;
};

// The xmlUrl of every outline under the body, nested ones too, that is an http or https address.
OpmlFeeds readOpml(std::string_view document);

struct OpmlOutline {
    std::string text; // what a reader shows for the feed
    std::string address;
};

// An OPML 2.0 document listing these feeds, as UTF-8 lines.
std::vector<std::string> writeOpml(const std::vector<OpmlOutline>& feeds);

// The addresses of `found` that `listed` does not hold yet (compared exactly, as stored).
std::vector<std::string> unlisted(const std::vector<std::string>& listed,
                                  const std::vector<std::string>& found);

} // namespace quill::ui
