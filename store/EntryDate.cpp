#include "EntryDate.h"

#include <cstdlib>
#include <locale.h>

namespace {

// Dates before the Gregorian calendar's first full century of use have no
// sound local time; they are shown as the start of calendar time.
constexpr int kFirstDatableYear = 1601;

locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

} // namespace

std::time_t EntryTime(const StepRecord& record) {
    if (record.year < kFirstDatableYear)
        return 0;
    std::tm local{};
    local.tm_year = record.year - 1900;
    local.tm_mon = record.month - 1;
    local.tm_mday = record.day;
    local.tm_hour = record.hour;
    local.tm_min = record.minute;
    local.tm_sec = record.second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string FormatEntryTime(std::time_t time, const char* format) {
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char text[128];
    std::size_t length = strftime_l(text, sizeof text, format, &local, ClassicLocale());
    return std::string(text, length);
}

void PinLocalTimeZone() {
    setenv("TZ", ":/etc/localtime", /*overwrite=*/0);
    tzset();
}
