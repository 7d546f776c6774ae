#pragma once

#include <string>
#include <string_view>

namespace quill::feeds {

// reference resolved against base as a browser resolves a link in a page at base. An absolute
// reference, or a base without a scheme, gives the reference as written.
std::string resolveLink(std::string_view base, std::string_view reference);

} // namespace quill::feeds
