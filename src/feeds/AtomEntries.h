#pragma once

#include "platform/CodePage.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill::feeds {

// True when the document's first element is an Atom feed.
bool isAtomFeed(std::string_view document);

// The fields of an Atom feed, read tag by tag so that a document that is not well-formed still
// gives every entry: the feed's title and alternate link and an empty third field, then each
// entry's title, alternate link and summary (else content). Relative links are resolved against
// xml:base, else the feed's address.
std::vector<std::string> atomFields(std::string_view document, std::string_view address,
                                    const platform::CodePage& system);

} // namespace quill::feeds
