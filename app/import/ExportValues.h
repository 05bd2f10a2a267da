#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The values the import's readers find in files, each read one way for all
// of them.

// The calendar date a text starts with, as "YYYY-MM-DD" or with another of
// `separators` between its parts; what follows is the caller's business.
std::optional<std::chrono::year_month_day> LeadingIsoDate(std::string_view text,
                                                          std::string_view separators = "-");

// "YYYY-MM-DD", as the readers take dates and messages name them.
std::string IsoDateText(std::chrono::year_month_day date);

// How a file may write a count beyond plain digits: an export as a decimal
// number ("1234.0"), a CSV file from a spreadsheet with its thousands grouped
// ("12,345").
enum class CountText { Decimal, Grouped };

// A count of steps: digits, or as `form` allows, with spaces around it
// allowed; nothing else. A decimal is rounded to the nearest whole step.
std::optional<std::uint64_t> ParseStepCount(std::string_view text,
                                            CountText form = CountText::Decimal);

// A value as the file wrote it, in quotes, cut short when long.
std::string QuotedText(std::string_view text);

// Whether a count read from a file fits one diary entry.
bool FitsADiaryEntry(std::uint64_t steps);

std::string_view TrimSpaces(std::string_view text);
