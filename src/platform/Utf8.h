#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::platform::utf8 {

inline constexpr char32_t kInvalid = 0xFFFFFFFF;

// The character at pos; pos moves past it. An ill-formed sequence gives kInvalid and pos moves
// past its longest valid-looking start, so every bad sequence counts as one character.
char32_t decodeNext(std::string_view text, std::size_t& pos);

void append(std::string& out, char32_t c);

// The text with every ill-formed sequence replaced by "?".
std::string sanitize(std::string_view text);

} // namespace quill::platform::utf8
