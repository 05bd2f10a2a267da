// The overview's day totals, taken from the list's rows and following the
// list's changes, are those of the diary the rows were read from.
#include <gtest/gtest.h>

#include <vector>

#include "ChangingDiary.h"
#include "ListDayTotals.h"
#include "ShownEntries.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(ListDayTotalsTest, TheListsRowsGiveTheTotalsOfTheScanTheyWereBuiltFrom) {
    ScopedTimeZone zone("UTC0");
    const std::vector<std::vector<StepRecord>> scans = {
        {},
        // Newest first, as a diary kept day by day is scanned.
        {DiaryEntry(300, 2024, 5, 3, 3), DiaryEntry(200, 2024, 5, 2, 2),
         DiaryEntry(100, 2024, 5, 1, 1)},
        // Past days typed in late, two entries on one day, and a year whose
        // text sorts by its digits.
        {DiaryEntry(7, 2024, 5, 1, 5), DiaryEntry(9, 1999, 12, 31, 4),
         DiaryEntry(4000000000u, 2024, 5, 1, 3), DiaryEntry(1, 2024, 6, 1, 2),
         DiaryEntry(4000000000u, 2024, 5, 1, 1)},
    };
    for (const std::vector<StepRecord>& scan : scans) {
        ListDayTotals totals;
        totals.Reset(BuildShownEntries(scan));
        EXPECT_EQ(totals.Days(), DayTotalsOf(scan)) << scan.size();
    }
}

TEST(ListDayTotalsTest, TotalsThatFollowTheListsChangesAreThoseOfTheNewScan) {
    for (const char* tz : {"UTC0", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTimeZone zone(tz);
        for (std::uint32_t seed = 0; seed < 100; ++seed) {
            ChangingDiary diary(seed);
            std::vector<ShownEntry> rows = BuildShownEntries(diary.Records());
            ListDayTotals totals;
            totals.Reset(rows);
            for (int step = 0; step < 25; ++step) {
                const std::vector<StepRecord> before = diary.Records();
                diary.Change();
                const std::optional<std::vector<EntryListChange>> changes =
                    ApplyRecordChange(rows, before, FindRecordChange(before, diary.Records()));
                ASSERT_TRUE(changes);
                totals.Follow(*changes, rows);
                ASSERT_EQ(totals.Days(), DayTotalsOf(diary.Records()))
                    << tz << " seed " << seed << " step " << step;
            }
        }
    }
}
