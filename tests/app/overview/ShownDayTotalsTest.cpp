// The overview's day totals, taken from the list's rows, are those of the
// diary the rows were read from.
#include <gtest/gtest.h>

#include <vector>

#include "ShownDayTotals.h"
#include "ShownEntries.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(ShownDayTotalsTest, TheListsRowsGiveTheTotalsOfTheScanTheyWereBuiltFrom) {
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
    for (const std::vector<StepRecord>& scan : scans)
        EXPECT_EQ(DayTotalsOfShown(BuildShownEntries(scan)), DayTotalsOf(scan)) << scan.size();
}
