#pragma once

#include "platform/CodePage.h"

#include <string>
#include <string_view>

namespace quill::feeds {

// A fetched feed's bytes as UTF-8, read in the feed's own encoding: its byte-order mark, else
// the encoding of its XML declaration, else the charset of contentType, else UTF-8. A named
// encoding we do not know is read through fallback. Ill-formed input becomes "?".
std::string decodeFeedBytes(std::string_view bytes, std::string_view contentType,
                            const platform::CodePage& fallback);

} // namespace quill::feeds
