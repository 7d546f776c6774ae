#pragma once

#include "forms/Application.h"
#include "platform/Browser.h"
#include "platform/CodePage.h"
#include "platform/Http.h"
#include "platform/Registry.h"

#include <filesystem>
#include <functional>

namespace quill {

inline constexpr const char* kProgramTitle = "Quillmark";

// What the program's windows use of the world outside them.
struct Services {
    forms::Application& app;
    platform::Http& http;
    platform::Browser& browser;
    platform::Registry& registry;
    const platform::CodePage& codePage;
    // Where links.ryx and rep.ini live: the current directory in the real program.
    std::filesystem::path folder;
    // Ends the process at once with this exit code: no window, destructor or clean-up runs.
    std::function<void(int)> exitProgram;
};

} // namespace quill
