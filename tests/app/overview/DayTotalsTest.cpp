// The day totals behind every figure: which day each entry counts on, and
// what a day adds up to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DayTotals.h"
#include "EntryDate.h"
#include "EntryText.h"
#include "ExportValues.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

std::string DateOf(const DayTotal& day) {
    return IsoDateText(std::chrono::year_month_day(day.date));
}

} // namespace

// An entry counts on the date its row in the list shows, whatever the zone
// makes of it: the figures never disagree with the list.
TEST(DayTotalsTest, EachEntryCountsOnTheDateTheListShows) {
    const struct {
        const char* tz;
        StepRecord record;
        const char* date;
    } cases[] = {
        {"UTC0", DiaryEntry(5, 2024, 2, 29), "2024-02-29"},
        {"UTC0", DiaryEntry(5, 1899, 12, 31), "1899-12-31"},
        // Too early for the calendar the list converts with: shown, and
        // counted, at the start of calendar time in the zone.
        {"UTC0", DiaryEntry(5, 1500, 6, 1), "1970-01-01"},
        {":America/Los_Angeles", DiaryEntry(5, 1500, 6, 1), "1969-12-31"},
        // Fields past their range are carried as the list carries them.
        {"UTC0", DiaryEntry(5, 2006, 2, 30), "2006-03-02"},
        {"UTC0", DiaryEntry(5, 2023, 13, 1), "2024-01-01"},
        // Days the clocks change: at 2 a.m., at midnight, and a whole day
        // skipped, whose entries the list shows on the next.
        {":Europe/Berlin", DiaryEntry(5, 2024, 3, 31), "2024-03-31"},
        {":Europe/Berlin", DiaryEntry(5, 2024, 10, 27), "2024-10-27"},
        {":America/Sao_Paulo", DiaryEntry(5, 2018, 11, 4), "2018-11-04"},
        {":Pacific/Apia", DiaryEntry(5, 2011, 12, 30), "2011-12-31"},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        // The Windows C runtime reads no zone names, only offsets and rules.
        if (c.tz[0] == ':')
            continue;
#endif
        ScopedTimeZone zone(c.tz);
        const std::vector<DayTotal> days = DayTotalsOf({c.record});
        ASSERT_EQ(days.size(), 1u) << c.tz << ' ' << c.date;
        EXPECT_EQ(DateOf(days[0]), c.date) << c.tz;
        std::string listed = EntryItemText(c.record).substr(6, 10);
        std::replace(listed.begin(), listed.end(), '.', '-');
        EXPECT_EQ(listed, c.date) << c.tz;
    }
}

// A day's total is the sum of its entries in 64 bits, whatever order the
// diary holds them in: by date, out of order over a few days or over years.
TEST(DayTotalsTest, EntriesOfADayAddUpWithoutWrappingInAnyOrder) {
    ScopedTimeZone zone("UTC0");
    const std::uint32_t most = 4294967294u;
    const struct {
        std::vector<StepRecord> newestFirst;
        const char* totals;
    } cases[] = {
        {{DiaryEntry(5, 2026, 1, 2), DiaryEntry(4, 2026, 1, 2), DiaryEntry(3, 2026, 1, 1)},
         "2026-01-01:3 2026-01-02:9"},
        {{DiaryEntry(most, 2026, 1, 2), DiaryEntry(7, 2025, 12, 31), DiaryEntry(most, 2026, 1, 2),
          DiaryEntry(most, 2026, 1, 2), DiaryEntry(0, 2026, 1, 1), DiaryEntry(most, 2026, 1, 2)},
         "2025-12-31:7 2026-01-01:0 2026-01-02:17179869176"},
        {{DiaryEntry(1, 1990, 1, 1), DiaryEntry(2, 2026, 1, 1), DiaryEntry(3, 1990, 1, 1)},
         "1990-01-01:4 2026-01-01:2"},
    };
    for (const auto& c : cases) {
        std::string totals;
        for (const DayTotal& day : DayTotalsOf(c.newestFirst))
            totals += (totals.empty() ? "" : " ") + DateOf(day) + ":" + std::to_string(day.steps);
        EXPECT_EQ(totals, c.totals);
    }
}
