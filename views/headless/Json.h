// The few pieces of JSON the headless view writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace headless {

// A JSON string literal, quotes included. Bytes that are not UTF-8 become
// U+FFFD, so the output is always valid JSON text.
std::string JsonString(std::string_view text);

// A JSON string literal, or null.
std::string JsonStringOrNull(const std::optional<std::string>& text);

} // namespace headless
