#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "StepRecord.h"

// The one conversion of a record's date into calendar time and text, shared by
// the list, the chart and the page.

// Local calendar time of the record's date and stored time of day, with
// daylight saving left to mktime. Years before 1601 give calendar time 0;
// out-of-range fields are normalised by mktime; an unrepresentable time gives -1.
std::time_t EntryTime(const StepRecord& record);

// The local date and time that EntryTime(record) reads as; none when it has
// none (the library cannot convert it).
std::optional<std::tm> EntryLocalTime(const StepRecord& record);

// The date part of EntryLocalTime(record), which is all some callers need
// and, on most days, only the record's own fields.
struct LocalDate {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;
};
std::optional<LocalDate> EntryLocalDate(const StepRecord& record);

// FormatEntryTime(EntryTime(record), format), character for character.
std::string FormatEntryDate(const StepRecord& record, const char* format);

// Sets the record's date fields, the day of the week included, to that date.
void SetEntryDate(StepRecord& record, std::chrono::year_month_day date);

// The local calendar date `dayOffset` days after that of `t`, at noon. Counting
// calendar days rather than multiples of 86400 seconds keeps the date right
// across a change of the clocks. None when mktime cannot represent it.
std::optional<std::tm> LocalDateAfter(std::time_t t, std::int64_t dayOffset);

// Whether `a` falls on an earlier calendar date than `b`; times of day do not count.
bool IsEarlierDate(const std::tm& a, const std::tm& b);

// Formats a calendar time as local time with strftime in the C locale,
// whatever the process locale is. Empty when the time has no local date or
// the text does not fit in 127 characters.
std::string FormatEntryTime(std::time_t time, const char* format);

// Formats a local date and time as FormatEntryTime does.
std::string FormatLocalDate(const std::tm& date, const char* format);
