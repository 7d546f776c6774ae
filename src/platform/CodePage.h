#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quill::platform {

// The system's narrow code page. Text inside the program is UTF-8; files and downloaded bytes
// pass through one of these on their way in and out.
class CodePage {
public:
    virtual ~CodePage() = default;
    virtual std::string name() const = 0;
    // Bytes in this code page to UTF-8. Bytes the code page does not define become "?".
    virtual std::string toUtf8(std::string_view bytes) const = 0;
    // UTF-8 to bytes in this code page. Characters it cannot represent become "?".
    virtual std::string fromUtf8(std::string_view utf8) const = 0;
};

std::unique_ptr<CodePage> makeUtf8CodePage();
std::unique_ptr<CodePage> makeWindows1252CodePage();
// A code page by its IANA or Windows name ("utf-8", "windows-1252", "iso-8859-1", "cp1252",
// "us-ascii", "koi8-r", "shift_jis", ... case-insensitive): ours for those four, else the
// operating system's; null when neither knows it.
std::unique_ptr<CodePage> codePageByName(std::string_view name);
// A charset the operating system converts (iconv on Linux, Windows' code pages), by its IANA
// name or a common alias; null when it knows none by that name.
std::unique_ptr<CodePage> osCodePageByName(std::string_view name);
// The code page of this process: the locale's codeset on Linux (C/POSIX counts as UTF-8).
std::unique_ptr<CodePage> makeSystemCodePage();

} // namespace quill::platform
