#include "LocalClock.h"

#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

// Windows' broken-down time has no offset or zone name of its own: the
// offset is worked out from the reading, which mktime gives the instant of.
//
// The C runtime reads the clock from 1970 to 3000 only. The Gregorian
// calendar repeats itself every 400 years, weekdays included, and the
// runtime applies the same zone rules to every year: a time outside is read
// as the time a whole number of 400-year cycles away, inside, with the years
// put back after.

namespace {

constexpr int kCycleYears = 400;
constexpr std::time_t kCycleSeconds = 146097LL * 24 * 60 * 60;
// A day clear of either end, so that no zone's reading falls outside.
constexpr std::time_t kFirstReadable = 24 * 60 * 60;
constexpr std::time_t kLastReadable = 32535215999LL - 24 * 60 * 60;

// How many cycles `t` is moved by to be read.
int CyclesToReadable(std::time_t t) {
    int cycles = 0;
    for (; t + cycles * kCycleSeconds < kFirstReadable; ++cycles) {
    }
    for (; t + cycles * kCycleSeconds > kLastReadable; --cycles) {
    }
    return cycles;
}

// The same for a reading, by its year (tm_year counts from 1900).
int CyclesToReadableYear(int tmYear) {
    int cycles = 0;
    for (; tmYear + cycles * kCycleYears < 71; ++cycles) {
    }
    for (; tmYear + cycles * kCycleYears > 1099; --cycles) {
    }
    return cycles;
}

} // namespace

std::optional<std::tm> LocalTimeAt(std::time_t t) {
    const int cycles = CyclesToReadable(t);
    const std::time_t readable = t + cycles * kCycleSeconds;
    std::tm local{};
    if (localtime_s(&local, &readable) != 0)
        return std::nullopt;
    local.tm_year -= cycles * kCycleYears;
    return local;
}

std::time_t LocalMakeTime(std::tm& local) {
    const int cycles = CyclesToReadableYear(local.tm_year);
    local.tm_year += cycles * kCycleYears;
    const std::time_t t = std::mktime(&local);
    local.tm_year -= cycles * kCycleYears;
    return t == -1 ? -1 : t - cycles * kCycleSeconds;
}

long UtcOffsetOf(const std::tm& reading) {
    std::tm asUtc = reading;
    asUtc.tm_year += CyclesToReadableYear(reading.tm_year) * kCycleYears;
    std::tm asLocal = asUtc;
    const std::time_t wall = _mkgmtime(&asUtc);
    const std::time_t instant = std::mktime(&asLocal);
    if (wall == -1 || instant == -1)
        return 0;
    return static_cast<long>(wall - instant);
}

bool SameZoneState(const std::tm& a, const std::tm& b) {
    return a.tm_isdst == b.tm_isdst && UtcOffsetOf(a) == UtcOffsetOf(b);
}

void SetZoneState(std::tm& local, const std::tm& reading) {
    local.tm_isdst = reading.tm_isdst;
}

std::string FormatClassic(const std::tm& local, const char* format) {
    // The runtime writes the years 0 to 9999 only, as glibc does not: the
    // year is written here and the rest with the year moved by whole cycles,
    // which leaves every other field's text as it was.
    std::tm readable = local;
    readable.tm_year += CyclesToReadableYear(local.tm_year) * kCycleYears;
    std::string pattern;
    for (const char* c = format; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 'Y') {
            pattern += std::to_string(local.tm_year + 1900LL);
            ++c;
        } else if (c[0] == '%' && c[1] != '\0') {
            pattern += c[0];
            pattern += *++c;
        } else {
            pattern += *c;
        }
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&readable, pattern.c_str());
    std::string formatted = text.str();
    return formatted.size() < 128 ? formatted : std::string();
}

// The C library reads the zone once; there is nothing to pin.
void PinLocalTimeZone() {
    _tzset();
}
