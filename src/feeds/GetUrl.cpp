#include "feeds/GetUrl.h"

namespace quill::feeds {

std::string FetchUrl(platform::Http& http, const platform::CodePage& codePage,
                     const std::string& url) {
    return codePage.toUtf8(http.get(url).body);
}

} // namespace quill::feeds
