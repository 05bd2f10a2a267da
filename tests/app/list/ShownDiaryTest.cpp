#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "ListChanges.h"
#include "ShownDiary.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(ShownDiaryTest, NoticesAChangeByAnyoneElseAndFollowsItByTheRowsThatChanged) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1), DiaryEntry(2000, 2024, 5, 2, 2),
                DiaryEntry(3000, 2024, 5, 3, 3)});
    ShownDiary diary(HereFiles());
    EXPECT_TRUE(diary.FileChanged()) << "nothing read yet";
    ASSERT_TRUE(diary.Reload());
    EXPECT_FALSE(diary.FileChanged());

    // Another window deletes 3 May and adds 15 April, which takes identifier 3.
    CStepFile(HereFiles()).DeleteById(3);
    EXPECT_TRUE(diary.FileChanged());
    StepRecord added = DiaryEntry(9999, 2024, 4, 15);
    CStepFile(HereFiles()).Append(added);
    std::optional<std::vector<EntryListChange>> changes = diary.Reload();
    ASSERT_TRUE(changes);
    EXPECT_EQ(*changes, (std::vector<EntryListChange>{{0, 0, 0, 1}, {2, 1, 3, 0}}));
    ASSERT_EQ(diary.Items().size(), 3u);
    EXPECT_EQ(EntryItemText(diary.Items()[0].record), "Date: 2024.04.15, steps: 9999");
    EXPECT_EQ(diary.Items()[0].record.identifier, 3u);
    EXPECT_FALSE(diary.FileChanged());
}

TEST(ShownDiaryTest, AFileThatCannotBeReadKeepsTheItems) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1)});
    ShownDiary diary(HereFiles());
    ASSERT_TRUE(diary.Reload());
    std::filesystem::remove("data.steps");
    std::filesystem::create_directory("data.steps");
    EXPECT_TRUE(diary.FileChanged());
    EXPECT_FALSE(diary.Reload());
    EXPECT_EQ(diary.Items().size(), 1u);
}

TEST(ShownDiaryTest, ADiaryRemovedAfterTheFirstReadIsShownEmptyAndNotMadeAgain) {
    ScopedTempDir dir;
    ShownDiary diary(HereFiles());
    ASSERT_TRUE(diary.Reload());
    EXPECT_TRUE(std::filesystem::exists("data.steps")) << "the first read makes it";
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1)});
    ASSERT_TRUE(diary.Reload());
    std::filesystem::remove("data.steps");
    EXPECT_TRUE(diary.FileChanged());
    ASSERT_TRUE(diary.Reload());
    EXPECT_TRUE(diary.Items().empty());
    EXPECT_FALSE(std::filesystem::exists("data.steps"));
    EXPECT_FALSE(diary.FileChanged());
}

TEST(ShownDiaryTest, OwnChangesAmongAnotherWritersAreFollowedAsAFreshReadShowsThem) {
    ScopedTimeZone zone("UTC0");
    for (std::uint32_t seed = 0; seed < 12; ++seed) {
        ScopedTempDir dir;
        std::mt19937 random(seed);
        const auto pick = [&random](int below) {
            return std::uniform_int_distribution<int>(0, below - 1)(random);
        };
        // Few dates, so that equal texts and their order among each other count.
        const auto date = [&] {
            return std::chrono::year_month_day(
                std::chrono::year(2024), std::chrono::month(5),
                std::chrono::day(1 + static_cast<unsigned>(pick(6))));
        };
        std::vector<StepRecord> start;
        for (std::uint32_t id = 1; id <= 20; ++id)
            start.push_back(
                DiaryEntry(100 * static_cast<std::uint32_t>(pick(3)), 2024, 5, 1 + pick(6), id));
        WriteDiary(start);
        ShownDiary diary(HereFiles());
        ASSERT_TRUE(diary.Reload());
        for (int step = 0; step < 40; ++step) {
            const std::vector<ShownEntry> shown = diary.Items();
            std::optional<std::vector<EntryListChange>> changes;
            std::optional<DiaryChangeSeen> seen;
            switch (pick(5)) {
            case 0: // ours: Add
                ASSERT_TRUE(
                    AddEntry(HereFiles(), 100 * static_cast<std::uint32_t>(pick(3)), date(), &seen)
                        .Succeeded());
                changes = diary.FollowOwnChange(seen);
                break;
            case 1: // ours: Delete of a listed row
                if (!shown.empty())
                    DeleteListedEntry(
                        HereFiles(),
                        shown[static_cast<std::size_t>(pick(static_cast<int>(shown.size())))]
                            .record,
                        nullptr, &seen);
                changes = diary.FollowOwnChange(seen);
                break;
            case 2: { // another window's Add, unnoticed until later
                StepRecord record =
                    DiaryEntry(100 * static_cast<std::uint32_t>(pick(3)), 2024, 5, 1 + pick(6));
                CStepFile(HereFiles()).Append(record);
                continue;
            }
            case 3: // another window's Delete, unnoticed until later
                CStepFile(HereFiles()).DeleteById(1 + static_cast<std::uint32_t>(pick(40)));
                continue;
            default: // the file watcher's look
                changes = diary.Reload();
                break;
            }
            ASSERT_TRUE(changes) << seed << " step " << step;
            const std::optional<std::vector<StepRecord>> records = LoadEntryRecords(HereFiles());
            ASSERT_TRUE(records);
            ASSERT_EQ(diary.Items(), BuildShownEntries(*records)) << seed << " step " << step;
            ASSERT_EQ(ApplyListChanges(shown, diary.Items(), *changes), diary.Items())
                << seed << " step " << step;
            EXPECT_FALSE(diary.FileChanged()) << seed << " step " << step;
        }
    }
}
