#pragma once

#include "platform/CodePage.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill::feeds {

// One item as the ticker shows it; any of the three may be missing, and then it is empty.
struct ItemTriple {
    std::string title, link, description;
};

// Appends the item's title, link and description to fields. An item without a title is shown by
// its description's first words; one with neither is left out.
void appendItem(std::vector<std::string>& fields, ItemTriple item,
                const platform::CodePage& system);

// The field as the ticker gets it: it ends before any "|", and characters the system's code page
// cannot hold are "?".
std::string finishedField(std::string_view field, const platform::CodePage& system);

} // namespace quill::feeds
