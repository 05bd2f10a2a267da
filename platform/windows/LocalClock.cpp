#include "LocalClock.h"

#include <iomanip>
#include <locale>
#include <sstream>

// Windows' broken-down time has no offset or zone name of its own: the
// offset is worked out from the reading, which mktime gives the instant of.

std::optional<std::tm> LocalTimeAt(std::time_t t) {
    std::tm local{};
    if (localtime_s(&local, &t) != 0)
        return std::nullopt;
    return local;
}

long UtcOffsetOf(const std::tm& reading) {
    std::tm asUtc = reading;
    std::tm asLocal = reading;
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
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&local, format);
    std::string formatted = text.str();
    return formatted.size() < 128 ? formatted : std::string();
}

// The C library reads the zone once; there is nothing to pin.
void PinLocalTimeZone() {
    _tzset();
}
