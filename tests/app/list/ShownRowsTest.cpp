#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "ShownEntries.h"
#include "ShownRows.h"
#include "TempDir.h"
#include "TestDiary.h"

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
