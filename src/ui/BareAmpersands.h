#pragma once

#include <string>
#include <string_view>

namespace quill::ui {

// The document with every "&" that starts no character or predefined entity reference written
// as "&amp;", in the document's own code units (one byte, or two in UTF-16). Files with a raw
// "&" in a URL are common; after this every XML reader takes that "&" as itself.
std::string escapeBareAmpersands(std::string_view document);

} // namespace quill::ui
