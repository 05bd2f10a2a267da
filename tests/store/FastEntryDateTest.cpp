#include <gtest/gtest.h>

#include <chrono>
#include <locale.h>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "EntryDate.h"
#include "LocalDays.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// What the list, the chart and the page got before the fast path: mktime,
// then localtime and strftime.
std::time_t LibraryTime(const StepRecord& r) {
    std::tm local{};
    local.tm_year = r.year - 1900;
    local.tm_mon = r.month - 1;
    local.tm_mday = r.day;
    local.tm_hour = r.hour;
    local.tm_min = r.minute;
    local.tm_sec = r.second;
    local.tm_isdst = -1;
    return r.year < 1601 ? 0 : std::mktime(&local);
}

std::string LibraryText(std::time_t t, const char* format) {
    std::tm local{};
    char text[128];
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::size_t length =
        localtime_r(&t, &local) ? strftime_l(text, sizeof text, format, &local, c) : 0;
    return std::string(text, length);
}

struct Zone {
    const char* name;
    const char* tz;
    int firstYear;
    int lastYear;
};

// Tests and their listings name a zone by its rule, not by the bytes of
// pointers that differ from build to build.
void PrintTo(const Zone& zone, std::ostream* out) {
    *out << zone.tz;
}

// Rule zones are quick to ask at any date, so they cover every year; zone
// files are slow past their last listed change, so they cover their history.
const Zone kZones[] = {
    {"Utc", "UTC0", 1601, 9999},
    {"ChangeAtTwo", "EST5EDT,M3.2.0,M11.1.0", 1601, 9999},
    {"ChangeAtMidnight", "<-03>3<-02>,M10.3.0/0,M2.3.0/0", 1601, 9999},
    {"ChangeByHalfAnHour", "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", 1601, 9999},
    {"BerlinMeanAndDoubleSummerTime", ":Europe/Berlin", 1601, 2100},
    {"ApiaDayLeftOut", ":Pacific/Apia", 1601, 2100},
};

} // namespace

bool SameLocalTime(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
           a.tm_hour == b.tm_hour && a.tm_min == b.tm_min && a.tm_sec == b.tm_sec &&
           a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday && a.tm_isdst == b.tm_isdst &&
           a.tm_gmtoff == b.tm_gmtoff && std::string_view(a.tm_zone) == b.tm_zone;
}

class FastEntryDateTest : public ::testing::TestWithParam<Zone> {};

// The fast path's time is mktime's and its broken-down time is localtime's,
// every field of it, so that strftime gives the same text for any format.
TEST_P(FastEntryDateTest, EveryDateGivesWhatTheLibraryGives) {
    using namespace std::chrono;
    const Zone zone = GetParam();
    ScopedTimeZone timeZone(zone.tz);
    std::size_t mismatches = 0;
    const sys_days lastDay = year{zone.lastYear} / December / 31;
    for (sys_days day = year{zone.firstYear} / January / 1; day <= lastDay; day += days{1}) {
        StepRecord r;
        SetEntryDate(r, year_month_day{day});
        // Midnight for the list and the page, 02:00 for the chart's points,
        // in turn, with a second into the day now and then.
        const auto n = day.time_since_epoch().count();
        r.hour = n % 2 == 0 ? 0 : 2;
        r.second = n % 7 == 0 ? 1 : 0;
        const std::time_t expected = LibraryTime(r);
        std::tm fast;
        std::optional<std::time_t> t =
            LocalDays::Time(r.year, r.month, r.day, r.hour, r.minute, r.second, &fast);
        std::tm library{};
        const bool same = !t || (*t == expected && localtime_r(&expected, &library) &&
                                 SameLocalTime(fast, library));
        // The texts themselves, in the list's, the page's and the chart's
        // formats in turn, and in one the library formats alone.
        const char* const formats[] = {"Date: %Y.%m.%d", "%Y %B %d", "%m %d",
                                       "%Y.%m.%d %H:%M:%S %Z %B"};
        const char* const format = formats[(n % 4 + 4) % 4];
        const bool sameText = FormatEntryDate(r, format) == LibraryText(expected, format);
        if ((!same || !sameText || EntryTime(r) != expected) && ++mismatches <= 5)
            ADD_FAILURE() << r.year << "-" << r.month << "-" << r.day << " " << r.hour << "h";
    }
    EXPECT_EQ(mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(Zones, FastEntryDateTest, ::testing::ValuesIn(kZones),
                         [](const ::testing::TestParamInfo<Zone>& zone) {
                             return std::string(zone.param.name);
                         });

TEST(FastEntryDateFallbackTest, TimesTheLibraryNormalisesAreLeftToIt) {
    ScopedTimeZone timeZone("EST5EDT,M3.2.0,M11.1.0");
    const char* const format = "%Y.%m.%d %H:%M:%S";
    StepRecord cases[] = {DiaryEntry(0, 2006, 4, 31), DiaryEntry(0, 2006, 13, 1),
                          DiaryEntry(0, 2006, 1, 0),  DiaryEntry(0, 1600, 12, 31),
                          DiaryEntry(0, 2006, 3, 12), DiaryEntry(0, 65535, 1, 1)};
    cases[4].hour = 2; // inside the hour the clocks skip
    for (const StepRecord& r : cases) {
        EXPECT_EQ(EntryTime(r), LibraryTime(r)) << r.year << "-" << r.month << "-" << r.day;
        EXPECT_EQ(FormatEntryDate(r, format), FormatEntryTime(LibraryTime(r), format));
    }
    StepRecord late = DiaryEntry(0, 2006, 6, 1);
    late.hour = 30;
    late.minute = 75;
    EXPECT_EQ(FormatEntryDate(late, format), FormatEntryTime(LibraryTime(late), format));
}
