#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

// The current zone's local calendar, learnt from the C library day by day and
// remembered: for each day on which the clock does not change, the UTC
// offset that every local time of that day has. With it, a local date and
// time becomes calendar time with arithmetic alone, exactly as mktime would
// give it; a day with a change of the clocks, or a leap second, is not
// remembered and is left to the library.
//
// The days learnt are kept per thread and forgotten when TZ changes.
class LocalDays {
public:
    // The calendar time of that local date and time of day, as mktime gives
    // it with tm_isdst -1; none where only the library can say (a day with a
    // clock change, a date outside 1601 to 9999, a field out of range), and
    // then `local` is not filled.
    static std::optional<std::time_t> Time(int year, int month, int day, int hour, int minute,
                                           int second, std::tm* local = nullptr);
};

// For its life, this thread's conversions take the zone as it was when it
// began, so that a run of them over a whole diary does not look TZ up in the
// environment for every entry. Nested pins keep the outermost one's zone.
class LocalZonePin {
public:
    LocalZonePin();
    ~LocalZonePin();
    LocalZonePin(const LocalZonePin&) = delete;
    LocalZonePin& operator=(const LocalZonePin&) = delete;
};
