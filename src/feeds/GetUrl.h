#pragma once

#include "platform/CodePage.h"
#include "platform/Http.h"

#include <string>

namespace quill::feeds {

// The whole body at url, read through the code page as one character per byte of a single-byte
// code page; the document's own encoding is not consulted. Any failure gives the text read so far.
std::string FetchUrl(platform::Http& http, const platform::CodePage& codePage,
                     const std::string& url);

} // namespace quill::feeds
