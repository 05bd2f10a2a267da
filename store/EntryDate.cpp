#include "EntryDate.h"

#include <string_view>
#include <tuple>

#include "LocalClock.h"
#include "LocalDays.h"

namespace {

// Dates before the Gregorian calendar's first full century of use have no
// sound local time; they are shown as the start of calendar time.
constexpr int kFirstDatableYear = 1601;

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
    return LocalMakeTime(local);
}

// With its terminating zero.
constexpr std::size_t kLongestText = 128;

constexpr std::string_view kMonthNames[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};

void AppendTwoDigits(std::string& text, int value) {
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

// The few conversions the list, the chart and the page use, as the C locale's
// strftime writes them; none for any other conversion or a field whose text
// would not have the usual width, which are left to strftime.
std::optional<std::string> FormatDateFields(const std::tm& local, const char* format) {
    const int year = local.tm_year + 1900;
    std::string text;
    for (const char* c = format; *c != '\0'; ++c) {
        if (*c != '%') {
            text += *c;
            continue;
        }
        switch (*++c) {
        case 'Y':
            if (year < 1000 || year > 9999)
                return std::nullopt;
            AppendTwoDigits(text, year / 100);
            AppendTwoDigits(text, year % 100);
            break;
        case 'm':
            if (local.tm_mon < 0 || local.tm_mon > 11)
                return std::nullopt;
            AppendTwoDigits(text, local.tm_mon + 1);
            break;
        case 'd':
            if (local.tm_mday < 1 || local.tm_mday > 31)
                return std::nullopt;
            AppendTwoDigits(text, local.tm_mday);
            break;
        case 'B':
            if (local.tm_mon < 0 || local.tm_mon > 11)
                return std::nullopt;
            text += kMonthNames[local.tm_mon];
            break;
        default:
            return std::nullopt;
        }
    }
    if (text.size() >= kLongestText)
        return std::nullopt;
    return text;
}

// Every list row and page row formats a date; strftime costs more than all
// the rest of a page row.
std::string Format(const std::tm& local, const char* format) {
    if (std::optional<std::string> text = FormatDateFields(local, format))
        return std::move(*text);
    return FormatClassic(local, format);
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
    return LocalTimeAt(LibraryEntryTime(record));
}

std::optional<LocalDate> EntryLocalDate(const StepRecord& record) {
    if (LocalDays::Time(record.year, record.month, record.day, record.hour, record.minute,
                        record.second))
        return LocalDate{record.year, record.month, record.day};
    const std::optional<std::tm> local = EntryLocalTime(record);
    if (!local)
        return std::nullopt;
    return LocalDate{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
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
    std::optional<std::tm> local = LocalTimeAt(t);
    if (!local)
        return std::nullopt;
    std::tm& date = *local;
    date.tm_mday += static_cast<int>(dayOffset);
    date.tm_hour = 12; // no clock change moves noon to another day
    date.tm_min = 0;
    date.tm_sec = 0;
    date.tm_isdst = -1;
    if (LocalMakeTime(date) == -1)
        return std::nullopt;
    return local;
}

bool IsEarlierDate(const std::tm& a, const std::tm& b) {
    return std::tie(a.tm_year, a.tm_mon, a.tm_mday) < std::tie(b.tm_year, b.tm_mon, b.tm_mday);
}

std::string FormatLocalDate(const std::tm& date, const char* format) {
    std::tm copy = date;
    return FormatEntryTime(LocalMakeTime(copy), format);
}

std::string FormatEntryTime(std::time_t time, const char* format) {
    const std::optional<std::tm> local = LocalTimeAt(time);
    return local ? Format(*local, format) : std::string();
}
