#include <gtest/gtest.h>

#include "CStepFile.h"
#include "FileIdentity.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(DiaryChangeSeenTest, AnAppendTellsItsRecordAndTheFileJustBeforeAndAfterIt) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1), DiaryEntry(2000, 2024, 5, 2, 2)});
    const std::optional<FileIdentity> before = IdentityOf("data.steps");
    CStepFile file(HereFiles());
    StepRecord record = DiaryEntry(3000, 2024, 5, 3);
    file.Append(record);
    ASSERT_TRUE(file.LastChange());
    EXPECT_EQ(file.LastChange()->before, before);
    EXPECT_EQ(file.LastChange()->after, IdentityOf("data.steps"));
    EXPECT_TRUE(file.LastChange()->removed.empty());
    EXPECT_EQ(file.LastChange()->added, std::vector<StepRecord>{record});
    EXPECT_EQ(record.identifier, 3u);
}

TEST(DiaryChangeSeenTest, ADeleteTellsTheRecordsPlaceInTheScanAndTheFileItLeft) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1), DiaryEntry(2000, 2024, 5, 2, 2),
                DiaryEntry(3000, 2024, 5, 3, 3)});
    const std::optional<FileIdentity> before = IdentityOf("data.steps");
    for (const std::size_t place : {1u, 0u}) {
        CStepFile file(HereFiles());
        const std::optional<FileIdentity> from = IdentityOf("data.steps");
        file.DeleteById(place == 1 ? 2 : 3);
        ASSERT_TRUE(file.LastChange()) << place;
        EXPECT_EQ(file.LastChange()->before, from);
        EXPECT_EQ(file.LastChange()->after, IdentityOf("data.steps"));
        EXPECT_EQ(file.LastChange()->removed, std::vector<std::size_t>{place});
        EXPECT_TRUE(file.LastChange()->added.empty());
    }
    EXPECT_NE(IdentityOf("data.steps"), before);
}

TEST(DiaryChangeSeenTest, AChangeThatChangesNothingTellsNothing) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1)});
    CStepFile file(HereFiles());
    StepRecord record = DiaryEntry(3000, 2024, 5, 3);
    file.Append(record);
    ASSERT_TRUE(file.LastChange());
    file.DeleteById(7);
    EXPECT_FALSE(file.LastChange());
    StepRecord marker = DiaryEntry(kEndMarker, 2024, 5, 4);
    file.Append(marker);
    EXPECT_FALSE(file.LastChange());
}
