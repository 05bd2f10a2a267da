#include "EntryDate.h"

#include "LocalDays.h"

#include <cstdlib>
#include <locale.h>
#include <tuple>

namespace {

// Dates before the Gregorian calendar's first full century of use have no
// sound local time; they are shown as the start of calendar time.
constexpr int kFirstDatableYear = 1601;

locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

} // namespace

namespace {

std::time_t LibraryEntryTime(const StepRecord& record) {
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

std::string Format(const std::tm& local, const char* format) {
    char text[128];
    std::size_t length = strftime_l(text, sizeof text, format, &local, ClassicLocale());
    return std::string(text, length);
}

} // namespace

// A diary of decades converts tens of thousands of dates for every list and
// report; mktime alone costs more than everything else the list does with
// an entry.
std::time_t EntryTime(const StepRecord& record) {
    if (std::optional<std::time_t> t = LocalDays::Time(record.year, record.month, record.day,
                                                       record.hour, record.minute, record.second))
        return *t;
    return LibraryEntryTime(record);
}

std::optional<std::tm> EntryLocalTime(const StepRecord& record) {
    std::tm local{};
    if (LocalDays::Time(record.year, record.month, record.day, record.hour, record.minute,
                        record.second, &local))
        return local;
    const std::time_t time = LibraryEntryTime(record);
    if (!localtime_r(&time, &local))
        return std::nullopt;
    return local;
}

std::string FormatEntryDate(const StepRecord& record, const char* format) {
    std::optional<std::tm> local = EntryLocalTime(record);
    return local ? Format(*local, format) : std::string();
}

void SetEntryDate(StepRecord& record, std::chrono::year_month_day date) {
    using namespace std::chrono;
    record.year = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    record.month = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    record.day = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    record.dayOfWeek = static_cast<std::uint16_t>(weekday(sys_days(date)).c_encoding());
}

std::optional<std::tm> LocalDateAfter(std::time_t t, std::int64_t dayOffset) {
    std::tm date{};
    if (!localtime_r(&t, &date))
        return std::nullopt;
    date.tm_mday += static_cast<int>(dayOffset);
    date.tm_hour = 12; // no clock change moves noon to another day
    date.tm_min = 0;
    date.tm_sec = 0;
    date.tm_isdst = -1;
    if (std::mktime(&date) == -1)
        return std::nullopt;
    return date;
}

bool IsEarlierDate(const std::tm& a, const std::tm& b) {
    return std::tie(a.tm_year, a.tm_mon, a.tm_mday) < std::tie(b.tm_year, b.tm_mon, b.tm_mday);
}

std::string FormatLocalDate(const std::tm& date, const char* format) {
    std::tm copy = date;
    return FormatEntryTime(std::mktime(&copy), format);
}

std::string FormatEntryTime(std::time_t time, const char* format) {
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    return Format(local, format);
}

void PinLocalTimeZone() {
    setenv("TZ", ":/etc/localtime", /*overwrite=*/0);
    tzset();
}
