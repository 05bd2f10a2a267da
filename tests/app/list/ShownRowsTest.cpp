#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "ShownEntries.h"
#include "ShownRows.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(ShownRowsTest, ARecordIsFoundByItsWholeSelfFirstRowFirst) {
    const StepRecord a = DiaryEntry(10, 2026, 12, 8, 1);
    const StepRecord b = DiaryEntry(20, 2026, 12, 7, 2);
    StepRecord sameIdentifier = a;
    sameIdentifier.steps = 11;
    // Newest first, as a scan gives them; rows in text order.
    const std::vector<ShownEntry> rows = BuildShownEntries({a, b, a});
    EXPECT_EQ(RowOfRecord(rows, b), 0u);
    EXPECT_EQ(RowOfRecord(rows, a), 1u);
    EXPECT_EQ(RowOfRecord(rows, sameIdentifier), std::nullopt);
}

TEST(ShownRowsTest, TheLatestDateIsFoundWhereverTheTextOrderPutsIt) {
    ScopedTimeZone zone("UTC0");
    const std::vector<std::pair<std::vector<StepRecord>, std::optional<std::size_t>>> cases = {
        {{}, std::nullopt},
        // The last of the latest date's rows.
        {{DiaryEntry(1, 2026, 12, 8, 1), DiaryEntry(2, 2026, 12, 8, 2),
          DiaryEntry(3, 2025, 1, 1, 3)},
         2u},
        // "Date: 10000.01.01" sorts before "Date: 2026.12.08".
        {{DiaryEntry(1, 2026, 12, 8, 1), DiaryEntry(2, 10000, 1, 1, 2)}, 0u},
    };
    for (const auto& [records, expected] : cases)
        EXPECT_EQ(RowOfLatestDate(BuildShownEntries(records)), expected) << records.size();
}
