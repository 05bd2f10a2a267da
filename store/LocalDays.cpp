#include "LocalDays.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "LocalClock.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// A run of whole days, by day number since 1970-01-01, on which local time
// is UTC plus one offset, with one reading of the clock in one of them.
struct SteadyDays {
    std::int64_t first;
    std::int64_t last;
    long offset;
    std::tm reading;
};

struct Calendar {
    std::string tz;                 // the TZ the days were learnt under
    std::vector<SteadyDays> steady; // sorted, apart from each other
    std::vector<std::int64_t> unsteady;
};

// The calendar a LocalZonePin holds, and how many pins are open.
thread_local Calendar* pinned = nullptr;
thread_local int pins = 0;

Calendar& CurrentCalendar() {
    thread_local Calendar calendar;
    if (pinned)
        return *pinned;
    const char* tz = std::getenv("TZ");
    const std::string_view now = tz ? tz : "\x01unset";
    if (calendar.tz != now) {
        calendar = Calendar{};
        calendar.tz = now;
    }
    return calendar;
}

bool IsLocalTime(const std::tm& local, std::int64_t dayNumber, int hour, int minute, int second) {
    using namespace std::chrono;
    const year_month_day date{sys_days{days{dayNumber}}};
    return local.tm_year + 1900 == static_cast<int>(date.year()) &&
           local.tm_mon + 1 == static_cast<int>(static_cast<unsigned>(date.month())) &&
           local.tm_mday == static_cast<int>(static_cast<unsigned>(date.day())) &&
           local.tm_hour == hour && local.tm_min == minute && local.tm_sec == second;
}

// Asks the library for the day: steady when its first and last second both
// fall at UTC plus one offset and read back as that day's 00:00:00 and
// 23:59:59.
std::optional<SteadyDays> Learn(std::int64_t dayNumber, long guess) {
    const std::int64_t midnight = dayNumber * kSecondsPerDay;
    std::optional<std::tm> first = LocalTimeAt(static_cast<std::time_t>(midnight - guess));
    if (!first)
        return std::nullopt;
    const long offset = UtcOffsetOf(*first);
    if (offset != guess) {
        first = LocalTimeAt(static_cast<std::time_t>(midnight - offset));
        if (!first || UtcOffsetOf(*first) != offset)
            return std::nullopt;
    }
    const std::optional<std::tm> last =
        LocalTimeAt(static_cast<std::time_t>(midnight + kSecondsPerDay - 1 - offset));
    if (!last || UtcOffsetOf(*last) != offset || last->tm_isdst != first->tm_isdst ||
        !IsLocalTime(*first, dayNumber, 0, 0, 0) || !IsLocalTime(*last, dayNumber, 23, 59, 59))
        return std::nullopt;
    return SteadyDays{dayNumber, dayNumber, offset, *first};
}

const SteadyDays* Find(Calendar& calendar, std::int64_t dayNumber) {
    auto after = std::ranges::upper_bound(calendar.steady, dayNumber, {}, &SteadyDays::first);
    if (after != calendar.steady.begin() && std::prev(after)->last >= dayNumber)
        return &*std::prev(after);
    if (std::ranges::binary_search(calendar.unsteady, dayNumber))
        return nullptr;
    const long guess = after != calendar.steady.begin() ? std::prev(after)->offset
                       : after != calendar.steady.end() ? after->offset
                                                        : 0;
    std::optional<SteadyDays> learnt = Learn(dayNumber, guess);
    if (!learnt) {
        calendar.unsteady.insert(std::ranges::upper_bound(calendar.unsteady, dayNumber), dayNumber);
        return nullptr;
    }
    auto same = [&learnt](const SteadyDays& days) {
        return SameZoneState(days.reading, learnt->reading);
    };
    // Joined to a neighbouring run of the same offset, so that a century of
    // days takes a few hundred runs.
    const bool joinsBefore = after != calendar.steady.begin() &&
                             std::prev(after)->last + 1 == dayNumber && same(*std::prev(after));
    const bool joinsAfter =
        after != calendar.steady.end() && after->first - 1 == dayNumber && same(*after);
    if (joinsBefore && joinsAfter) {
        std::prev(after)->last = after->last;
        return &*std::prev(calendar.steady.erase(after));
    }
    if (joinsBefore) {
        std::prev(after)->last = dayNumber;
        return &*std::prev(after);
    }
    if (joinsAfter) {
        after->first = dayNumber;
        return &*after;
    }
    return &*calendar.steady.insert(after, *learnt);
}

} // namespace

std::optional<std::time_t> LocalDays::Time(int year, int month, int day, int hour, int minute,
                                           int second, std::tm* local) {
    using namespace std::chrono;
    // The calendar types keep a month and a day in a byte: a field past 255
    // must not come back as another, real date.
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    const year_month_day date{std::chrono::year(year),
                              std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (year < 1601 || year > 9999 || !date.ok() || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const std::int64_t dayNumber = sys_days{date}.time_since_epoch().count();
    const SteadyDays* steady = Find(CurrentCalendar(), dayNumber);
    if (!steady)
        return std::nullopt;
    if (local) {
        *local = std::tm{};
        local->tm_year = year - 1900;
        local->tm_mon = month - 1;
        local->tm_mday = day;
        local->tm_hour = hour;
        local->tm_min = minute;
        local->tm_sec = second;
        local->tm_wday = static_cast<int>(weekday{sys_days{date}}.c_encoding());
        local->tm_yday = static_cast<int>(
            (sys_days{date} - sys_days{std::chrono::year(year) / January / 1}).count());
        SetZoneState(*local, steady->reading);
    }
    return static_cast<std::time_t>(dayNumber * kSecondsPerDay + hour * 3600 + minute * 60 +
                                    second - steady->offset);
}

LocalZonePin::LocalZonePin() {
    if (pins++ == 0)
        pinned = &CurrentCalendar();
}

LocalZonePin::~LocalZonePin() {
    if (--pins == 0)
        pinned = nullptr;
}
