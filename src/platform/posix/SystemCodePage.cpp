#include "platform/CodePage.h"

#include <langinfo.h>

namespace quill::platform {

std::unique_ptr<CodePage> makeSystemCodePage() {
    auto codePage = codePageByName(nl_langinfo(CODESET));
    // The C and POSIX locales report plain ASCII; treat them, and codesets we do not know,
    // as UTF-8, which is what such a desktop hands us in practice.
    if (!codePage || codePage->name() == "US-ASCII") {
        return makeUtf8CodePage();
    }
    return codePage;
}

} // namespace quill::platform
