#include <gtest/gtest.h>

#include <vector>

#include "ChangingDiary.h"
#include "EntryItems.h"
#include "EntryText.h"
#include "ListChanges.h"
#include "ShownEntries.h"
#include "ShownItems.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// Rows as a reader tells them apart: text and identifier.
std::vector<std::string> Listed(const std::vector<EntryItem>& items) {
    std::vector<std::string> listed;
    for (const EntryItem& item : items)
        listed.push_back(item.text + " #" + std::to_string(item.record.identifier));
    return listed;
}

} // namespace

TEST(ShownEntriesTest, RowsChangedInPlaceAreThoseOfAFullBuildAndTheListFollowsThem) {
    for (const char* tz : {"UTC0", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTimeZone zone(tz);
        for (std::uint32_t seed = 0; seed < 150; ++seed) {
            ChangingDiary diary(seed);
            std::vector<ShownEntry> entries = BuildShownEntries(diary.Records());
            ASSERT_EQ(TextItems(entries), BuildEntryItems(diary.Records()));
            for (int step = 0; step < 25; ++step) {
                const std::vector<StepRecord> before = diary.Records();
                const std::vector<ShownEntry> shown = entries;
                const std::optional<std::size_t> touched = diary.Change();

                const RecordChange change = FindRecordChange(before, diary.Records());
                const std::optional<std::vector<EntryListChange>> changes =
                    ApplyRecordChange(entries, before, change);
                ASSERT_TRUE(changes) << seed << " step " << step;
                ASSERT_EQ(Listed(TextItems(entries)), Listed(BuildEntryItems(diary.Records())))
                    << tz << " seed " << seed << " step " << step;
                ASSERT_EQ(TextItems(entries), BuildEntryItems(diary.Records()));
                ASSERT_EQ(ApplyListChanges(shown, entries, *changes), entries)
                    << tz << " seed " << seed << " step " << step;
                if (touched) {
                    // Only the records the writer removed or appended are touched.
                    EXPECT_EQ(change.removed.size() + change.added.size(), *touched);
                    std::size_t rows = 0;
                    for (const EntryListChange& listChange : *changes)
                        rows += listChange.removed + listChange.inserted;
                    EXPECT_EQ(rows, *touched) << seed << " step " << step;
                }
            }
        }
    }
}

TEST(ShownEntriesTest, ARecordTheRowsDoNotHoldLeavesThemAsTheyWere) {
    ScopedTimeZone zone("UTC0");
    const std::vector<StepRecord> records = {DiaryEntry(2, 2006, 1, 2, 2),
                                             DiaryEntry(1, 2006, 1, 1, 1)};
    std::vector<ShownEntry> entries = BuildShownEntries(records);
    const std::vector<ShownEntry> shown = entries;
    const std::vector<StepRecord> other = {DiaryEntry(3, 2006, 1, 3, 3)};
    EXPECT_FALSE(ApplyRecordChange(entries, other, {{0}, {records[0]}}));
    EXPECT_EQ(entries, shown);
}
