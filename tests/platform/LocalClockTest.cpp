// The local clock: its offset from UTC east and west of Greenwich and across
// a change of the clocks, and text in the C locale whatever the process
// locale is.
#include "LocalClock.h"

#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"

namespace {

// 2024-01-15 and 2024-07-15, 12:00 UTC.
constexpr std::time_t kWinter = 1705320000;
constexpr std::time_t kSummer = 1721044800;

} // namespace

TEST(LocalClockTest, ReadsTheOffsetOfEachZoneAndSeason) {
    struct Case {
        const char* tz;
        std::time_t t;
        long offset;
        int hour;
    };
#ifdef _WIN32
    // The Windows C runtime reads a name and an offset from TZ, and no rules.
    const Case cases[] = {
        {"UTC0", kWinter, 0, 12},
        {"JST-9", kWinter, 32400, 21},
        {"EST5", kSummer, -18000, 7},
    };
#else
    const Case cases[] = {
        {"UTC0", kWinter, 0, 12},
        {"CET-1CEST,M3.5.0,M10.5.0/3", kWinter, 3600, 13},
        {"CET-1CEST,M3.5.0,M10.5.0/3", kSummer, 7200, 14},
        {"EST5EDT,M3.2.0,M11.1.0", kWinter, -18000, 7},
        {"EST5EDT,M3.2.0,M11.1.0", kSummer, -14400, 8},
        {"<+0530>-5:30", kWinter, 19800, 17},
    };
#endif
    for (const Case& c : cases) {
        ScopedTimeZone zone(c.tz);
        const std::optional<std::tm> local = LocalTimeAt(c.t);
        ASSERT_TRUE(local) << c.tz;
        EXPECT_EQ(UtcOffsetOf(*local), c.offset) << c.tz;
        EXPECT_EQ(local->tm_hour, c.hour) << c.tz;
    }
}

TEST(LocalClockTest, ABuiltTimeGivenAReadingsZoneReadsAsThatReading) {
#ifdef _WIN32
    GTEST_SKIP() << kNoZoneRules;
#endif
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    const std::optional<std::tm> summer = LocalTimeAt(kSummer);
    const std::optional<std::tm> winter = LocalTimeAt(kWinter);
    ASSERT_TRUE(summer && winter);
    std::tm built{};
    built.tm_year = summer->tm_year;
    built.tm_mon = summer->tm_mon;
    built.tm_mday = summer->tm_mday;
    built.tm_hour = summer->tm_hour;
    SetZoneState(built, *summer);
    EXPECT_TRUE(SameZoneState(built, *summer));
    EXPECT_FALSE(SameZoneState(built, *winter));
    EXPECT_EQ(FormatClassic(built, "%H %Z"), FormatClassic(*summer, "%H %Z"));
    EXPECT_EQ(FormatClassic(built, "%Z"), "EDT");
}

TEST(LocalClockTest, TextIsInTheCLocaleWhateverTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale here";
    ScopedTimeZone zone("UTC0");
    const std::optional<std::tm> local = LocalTimeAt(kSummer);
    ASSERT_TRUE(local);
    EXPECT_EQ(FormatClassic(*local, "%A %d %B %Y"), "Monday 15 July 2024");
    EXPECT_EQ(FormatClassic(*local, std::string(200, 'x').c_str()), "");
    std::setlocale(LC_ALL, previous.c_str());
}
