#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::platform {

// A charset as each operating system's converter names it.
struct KnownCharset {
    std::string_view iconvName;
    unsigned windowsCodePage;
};

// Lower case, letters and digits only, so "ISO_8859-2", "iso8859-2" and "ISO-8859-2" meet.
std::string normalisedCharsetName(std::string_view name);

// The charset that an IANA name or a common alias of it stands for, as feeds declare them
// ("iso-8859-2", "koi8-r", "x-sjis", "ks_c_5601-1987", ...); nullopt for a name not listed.
std::optional<KnownCharset> knownCharset(std::string_view name);

} // namespace quill::platform
