#pragma once

namespace quill::ui {

// The maker's web site, shown and opened from the options window.
inline constexpr const char* kMakerSite = "www.brindlewood.example";
inline constexpr const char* kMakerHomePage = "http://www.brindlewood.example";
inline constexpr const char* kMakerLinksPage = "http://www.brindlewood.example/links1.htm";

} // namespace quill::ui
