#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quill::feeds {

struct Replacement {
    std::string_view search;
    std::string_view replacement;
};

// The step that searches for this text stands for the first character of rep.ini.
inline constexpr std::string_view kRepIniStep = "rep.ini";

// The decoding steps in their fixed order.
std::span<const Replacement> decodingSteps();

// Decodes the fixed table of line feeds, entities, character references and CDATA markers,
// step by step in the table's order, and replaces repIniCharacter (one UTF-8 character) by a
// space where the table says; without it that step is skipped.
void decodeReferences(std::string& text, std::optional<std::string_view> repIniCharacter);

} // namespace quill::feeds
