#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// How many characters of the steps edit count; the rest is ignored.
inline constexpr std::size_t kStepsTextLimit = 29;

// The step count a steps text stands for, read as strtoul reads base 10:
// leading blanks are skipped, digits are taken up to the first non-digit, and
// a text without digits counts as 0. Digits grouped in threes by one kind of
// separator ("1,234", "1.234.567", "1 234") count as the number without them.
// Only the first kStepsTextLimit characters (UTF-8) are read.
//
// No value when the text has a minus sign or the count does not fit below the end
// marker: such a count cannot be stored.
std::optional<std::uint32_t> ParseStepsText(std::string_view text);
