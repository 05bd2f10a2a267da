#include "EntryDate.h"

#include <clocale>
#include <optional>

#include <gtest/gtest.h>

#include "LocalDays.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

StepRecord Dated(int year, int month, int day) {
    return DiaryEntry(0, year, month, day);
}

std::string Text(const StepRecord& r, const char* format = "%Y.%m.%d") {
    return FormatEntryTime(EntryTime(r), format);
}

} // namespace

TEST(EntryDateTest, EveryDateFrom1601To9999IsItselfInEveryZone) {
#ifdef _WIN32
    // The Windows C runtime reads no zone names from TZ: UTC alone there.
    const char* const zones[] = {"UTC"};
#else
    const char* const zones[] = {"UTC", "Asia/Tokyo", "America/Los_Angeles", "Europe/Berlin"};
#endif
    for (const char* tz : zones) {
        ScopedTimeZone zone(tz);
        EXPECT_EQ(Text(Dated(2006, 4, 3)), "2006.04.03") << tz;
        EXPECT_EQ(Text(Dated(1601, 1, 1)), "1601.01.01") << tz;
        EXPECT_EQ(Text(Dated(1899, 12, 31)), "1899.12.31") << tz;
        EXPECT_EQ(Text(Dated(1969, 12, 31)), "1969.12.31") << tz;
        EXPECT_EQ(Text(Dated(2038, 1, 20)), "2038.01.20") << tz;
        EXPECT_EQ(Text(Dated(9999, 12, 31)), "9999.12.31") << tz;
        // Local midnight, also on the days the clocks change.
        EXPECT_EQ(Text(Dated(2006, 10, 29), "%Y.%m.%d %H:%M"), "2006.10.29 00:00") << tz;
        EXPECT_EQ(Text(Dated(2006, 3, 26), "%Y.%m.%d %H:%M"), "2006.03.26 00:00") << tz;
    }
}

TEST(EntryDateTest, UndatableYearsGiveTheStartOfCalendarTimeInLocalTime) {
#ifdef _WIN32
    GTEST_SKIP() << kNoZoneRules;
#endif
    StepRecord ancient = Dated(1500, 6, 1);
    EXPECT_EQ(EntryTime(ancient), 0);
    {
        ScopedTimeZone east("Asia/Tokyo");
        EXPECT_EQ(Text(ancient), "1970.01.01");
    }
    {
        ScopedTimeZone west("America/New_York");
        EXPECT_EQ(Text(ancient), "1969.12.31");
    }
}

TEST(EntryDateTest, OutOfRangeFieldsAreNormalised) {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(Text(Dated(2006, 13, 1)), "2007.01.01");
    EXPECT_EQ(Text(Dated(2006, 3, 0)), "2006.02.28");
    EXPECT_EQ(Text(Dated(2006, 2, 30)), "2006.03.02");
    // Fields past what a calendar type holds in a byte (2024-02-29 and
    // 2006-01-05 read modulo 256) are normalised too, in the text and the list.
    EXPECT_EQ(Text(Dated(2024, 2, 8221)), "2046.08.04");
    EXPECT_EQ(Text(Dated(2006, 257, 5)), "2027.05.05");
    EXPECT_EQ(FormatEntryDate(Dated(2024, 2, 8221), "%Y.%m.%d"), "2046.08.04");
    EXPECT_EQ(EntryLocalDate(Dated(2006, 257, 5))->year, 2027);
}

TEST(EntryDateTest, TextIsInTheCLocaleWhateverTheProcessLocale) {
    ScopedTimeZone zone("UTC");
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    // Any installed non-English locale will do; without one the check still
    // guards the month names.
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"})
        if (std::setlocale(LC_ALL, name))
            break;
    EXPECT_EQ(Text(Dated(2006, 3, 5), "%Y %B %d"), "2006 March 05");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(EntryDateTest, TooLongTextIsEmpty) {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(Text(Dated(2006, 3, 5), std::string(130, 'x').c_str()), "");
}

TEST(EntryDateTest, APinnedZoneHoldsOnlyWhileThePinLasts) {
    ScopedTimeZone utc("UTC0");
    const std::optional<std::time_t> inUtc = LocalDays::Time(2024, 1, 1, 0, 30, 0);
    ASSERT_TRUE(inUtc);
    std::optional<ScopedTimeZone> east;
    {
        const LocalZonePin pin;
        east.emplace("EST5");
        EXPECT_EQ(LocalDays::Time(2024, 1, 1, 0, 30, 0), inUtc);
    }
    EXPECT_EQ(LocalDays::Time(2024, 1, 1, 0, 30, 0), *inUtc + 5 * 3600);
}
