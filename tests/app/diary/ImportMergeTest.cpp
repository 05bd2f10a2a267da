#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImportMerge.h"
#include "TestDiary.h"

using namespace std::chrono;

namespace {

// The diary's records newest first, each at the offset of its place in the file.
std::vector<PlacedRecord> Placed(const std::vector<StepRecord>& oldestFirst) {
    std::vector<PlacedRecord> placed;
    for (std::size_t i = oldestFirst.size(); i-- > 0;)
        placed.push_back({i * kStepRecordSize, oldestFirst[i]});
    return placed;
}

std::vector<std::string> Texts(const std::vector<StepRecord>& records) {
    std::vector<std::string> texts;
    for (const StepRecord& r : records)
        texts.push_back(std::to_string(r.year) + "-" + std::to_string(r.month) + "-" +
                        std::to_string(r.day) + " " + std::to_string(r.steps));
    return texts;
}

const std::vector<StepRecord> kDiary = {
    DiaryEntry(100, 2024, 1, 1, 1), DiaryEntry(50, 2024, 1, 2, 2), DiaryEntry(50, 2024, 1, 2, 3),
    DiaryEntry(70, 2024, 1, 3, 4)};

} // namespace

TEST(ImportMergeTest, MergesEachDateByItsTotal) {
    const std::vector<ImportedRow> rows = {
        {2024y / January / 5, 9},   // no entry that day: added
        {2024y / January / 2, 100}, // 50 + 50 in the diary: unchanged
        {2024y / January / 3, 60},  // 70 in the diary: a conflict
        {2024y / January / 4, 1},   // added, both rows, in the file's order
        {2024y / January / 4, 2},   {2024y / January / 3, 5},
    };
    const ImportMerge kept = MergeImport(Placed(kDiary), rows, ConflictChoice::kKeepDiary);
    EXPECT_EQ(kept.added, 3u);
    EXPECT_EQ(kept.unchanged, 1u);
    EXPECT_EQ(kept.conflicts, (std::vector<DateConflict>{{2024y / January / 3, 70, 65}}));
    EXPECT_TRUE(kept.edit.removed.empty());
    EXPECT_EQ(Texts(kept.edit.added),
              (std::vector<std::string>{"2024-1-4 1", "2024-1-4 2", "2024-1-5 9"}));

    const ImportMerge replaced = MergeImport(Placed(kDiary), rows, ConflictChoice::kUseFile);
    EXPECT_EQ(replaced.conflicts, kept.conflicts);
    EXPECT_EQ(replaced.edit.removed, (std::vector<std::uint64_t>{3 * kStepRecordSize}));
    EXPECT_EQ(Texts(replaced.edit.added),
              (std::vector<std::string>{"2024-1-3 60", "2024-1-3 5", "2024-1-4 1", "2024-1-4 2",
                                        "2024-1-5 9"}));
    // The new records carry their weekday, as the window's Add writes them.
    EXPECT_EQ(replaced.edit.added[0].dayOfWeek, 3); // a Wednesday
}

TEST(ImportMergeTest, AnEmptyDiaryTakesEveryRowAndAnUndatableRecordMeetsNone) {
    const std::vector<ImportedRow> rows = {{2024y / January / 1, 7}, {2024y / January / 1, 7}};
    EXPECT_EQ(MergeImport({}, rows, ConflictChoice::kKeepDiary).added, 2u);
    const std::vector<StepRecord> odd = {DiaryEntry(14, 2024, 13, 1, 1)};
    const ImportMerge merge = MergeImport(Placed(odd), rows, ConflictChoice::kUseFile);
    EXPECT_EQ(merge.added, 2u);
    EXPECT_TRUE(merge.edit.removed.empty());
}

TEST(ImportMergeTest, AFileNewestFirstAddsInDateOrderEachDateInTheFilesOrder) {
    const std::vector<ImportedRow> rows = {
        {2024y / January / 9, 3},
        {2024y / January / 9, 1},
        {2024y / January / 8, 2},
        {2024y / January / 3, 70}, // as the diary has it: unchanged
    };
    const ImportMerge merge = MergeImport(Placed(kDiary), rows, ConflictChoice::kKeepDiary);
    EXPECT_EQ(merge.unchanged, 1u);
    EXPECT_EQ(Texts(merge.edit.added),
              (std::vector<std::string>{"2024-1-8 2", "2024-1-9 3", "2024-1-9 1"}));
}

TEST(ImportMergeTest, ADiaryOutOfDateOrderIsMetDateByDate) {
    // The day's second entry was added later, after another day's.
    const std::vector<StepRecord> diary = {DiaryEntry(40, 2024, 1, 2, 1),
                                           DiaryEntry(70, 2024, 1, 3, 2),
                                           DiaryEntry(60, 2024, 1, 2, 3)};
    const std::vector<ImportedRow> rows = {{2024y / January / 2, 100}, {2024y / January / 3, 7}};
    const ImportMerge merge = MergeImport(Placed(diary), rows, ConflictChoice::kKeepDiary);
    EXPECT_EQ(merge.unchanged, 1u);
    EXPECT_EQ(merge.conflicts, (std::vector<DateConflict>{{2024y / January / 3, 70, 7}}));
    EXPECT_EQ(merge.added, 0u);
}
