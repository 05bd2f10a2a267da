#pragma once

#include <ctime>
#include <optional>
#include <string>

// The local clock as the C library keeps it: the current zone's reading of a
// calendar time, and text in the C locale whatever the process locale is.
// What a broken-down time holds beyond the standard fields (the zone's offset
// and abbreviation, on some systems) is the system's business and handled
// here alone.

// The local date and time at `t`; none when the library cannot convert it.
std::optional<std::tm> LocalTimeAt(std::time_t t);

// mktime: the instant of the local date and time in `local`, whose fields it
// makes whole (a 32nd of a month becomes the next month's first) and whose
// daylight saving flag it sets; -1 when it cannot tell.
std::time_t LocalMakeTime(std::tm& local);

// How many seconds local time is ahead of UTC in a reading LocalTimeAt gave.
long UtcOffsetOf(const std::tm& reading);

// Whether two readings were made in the same zone state: the same offset,
// daylight saving flag and zone abbreviation.
bool SameZoneState(const std::tm& a, const std::tm& b);

// Gives `local`, a broken-down time built from its standard date and time
// fields, the zone state of `reading` (one of the same offset), so that it
// reads exactly as LocalTimeAt would give it.
void SetZoneState(std::tm& local, const std::tm& reading);

// Formats as strftime does in the C locale, whatever the process locale is;
// empty when the text does not fit in 127 characters.
std::string FormatClassic(const std::tm& local, const char* format);

// When TZ is not set, makes the system's zone file the local time zone for
// the rest of the run. Left unset, glibc looks the zone file up again on
// every conversion, which makes listing a long diary several times slower.
void PinLocalTimeZone();
