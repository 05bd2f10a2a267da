#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

// The numbers typed into the dialog's two edits. Both are read as strtoul
// reads base 10, from the first kEditTextLimit characters of the edit (UTF-8
// characters, as the toolkit gives them); the rest of the text is ignored.
inline constexpr std::size_t kEditTextLimit = 29;

// The step count a steps text stands for: leading blanks are skipped, digits
// are taken up to the first non-digit, and a text without digits counts as 0.
// Digits grouped in threes by one kind of separator ("1,234", "1.234.567",
// "1 234") count as the number without them.
//
// No value when the text has a minus sign or the count does not fit below the end
// marker: such a count cannot be stored.
std::optional<std::uint32_t> ParseStepsText(std::string_view text);

// The step length in centimetres: leading blanks skipped, an optional sign,
// digits up to the first non-digit; no digits give 0, too large a value gives
// the largest, a minus sign negates in unsigned 32-bit arithmetic.
std::uint32_t ParseStepLength(std::string_view text);

// A date typed as YYYY-MM-DD, which every user can type whatever the
// picker's own format; blanks around it are allowed. No value for any other
// text or a day the calendar does not have.
std::optional<std::chrono::year_month_day> ParseIsoDateText(std::string_view text);
