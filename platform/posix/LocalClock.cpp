#include "LocalClock.h"

#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

// With its terminating zero.
constexpr std::size_t kLongestText = 128;

locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

} // namespace

std::optional<std::tm> LocalTimeAt(std::time_t t) {
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::nullopt;
    return local;
}

std::time_t LocalMakeTime(std::tm& local) {
    return std::mktime(&local);
}

long UtcOffsetOf(const std::tm& reading) {
    return reading.tm_gmtoff;
}

// The abbreviations are compared as pointers: the library hands out one
// string per zone state, and comparing them costs nothing.
bool SameZoneState(const std::tm& a, const std::tm& b) {
    return a.tm_gmtoff == b.tm_gmtoff && a.tm_isdst == b.tm_isdst && a.tm_zone == b.tm_zone;
}

void SetZoneState(std::tm& local, const std::tm& reading) {
    local.tm_isdst = reading.tm_isdst;
    local.tm_gmtoff = reading.tm_gmtoff;
    local.tm_zone = reading.tm_zone;
}

std::string FormatClassic(const std::tm& local, const char* format) {
    char text[kLongestText];
    const std::size_t length = strftime_l(text, sizeof text, format, &local, ClassicLocale());
    return std::string(text, length);
}

void PinLocalTimeZone() {
    setenv("TZ", ":/etc/localtime", /*overwrite=*/0);
    tzset();
}
