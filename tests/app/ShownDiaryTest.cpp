#include <gtest/gtest.h>

#include <vector>

#include "CStepFile.h"
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
