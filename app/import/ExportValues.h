#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The calendar date a text starts with, as "YYYY-MM-DD"; what follows is the
// caller's business.
std::optional<std::chrono::year_month_day> LeadingIsoDate(std::string_view text);

// "YYYY-MM-DD", as the readers take dates and messages name them.
std::string IsoDateText(std::chrono::year_month_day date);

// A count of steps: digits, or a decimal number rounded to the nearest whole
// step, with spaces around it allowed; nothing else.
std::optional<std::uint64_t> ParseStepCount(std::string_view text);

// A value as the file wrote it, in quotes, cut short when long.
std::string QuotedText(std::string_view text);

// Whether a count read from a file fits one diary entry.
bool FitsADiaryEntry(std::uint64_t steps);

std::string_view TrimSpaces(std::string_view text);
