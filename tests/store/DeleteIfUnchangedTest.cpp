#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "CStepFile.h"
#include "FileIdentity.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

const StepRecord kFirst = DiaryEntry(1000, 2024, 5, 1, 1, 3);
const StepRecord kSecond = DiaryEntry(2000, 2024, 5, 2, 2, 4);
const StepRecord kThird = DiaryEntry(3000, 2024, 5, 3, 3, 5);

} // namespace

TEST(DeleteIfUnchangedTest, RemovesOnlyARecordStillAsListed) {
    struct Case {
        const char* what;
        std::vector<StepRecord> diary;
        StepRecord listed;
        bool removed;
        std::vector<StepRecord> left;
    };
    StepRecord recounted = kThird;
    recounted.steps = 3001;
    const StepRecord reused = DiaryEntry(9999, 2024, 4, 15, 3, 1);
    const StepRecord olderTwin = DiaryEntry(5, 2020, 1, 1, 2, 3);
    const std::vector<Case> cases = {
        {"unchanged", {kFirst, kSecond, kThird}, kSecond, true, {kFirst, kThird}},
        {"count changed",
         {kFirst, kSecond, recounted},
         kThird,
         false,
         {kFirst, kSecond, recounted}},
        {"identifier taken by a new entry",
         {kFirst, kSecond, reused},
         kThird,
         false,
         {kFirst, kSecond, reused}},
        {"gone", {kFirst, kSecond}, kThird, false, {kFirst, kSecond}},
        // Two records with one identifier come only from outside the program:
        // the listed one goes, not the newest with its identifier.
        {"older of two with one identifier",
         {olderTwin, kFirst, kSecond},
         olderTwin,
         true,
         {kFirst, kSecond}},
    };
    for (const Case& c : cases) {
        ScopedTempDir dir;
        WriteDiary(c.diary);
        const std::optional<FileIdentity> before = IdentityOf("data.steps");
        CStepFile file(HereFiles());
        EXPECT_EQ(file.DeleteIfUnchanged(c.listed), c.removed) << c.what;
        EXPECT_TRUE(file.IsOk()) << c.what;
        EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes(c.left)) << c.what;
        if (!c.removed) {
            EXPECT_EQ(IdentityOf("data.steps"), before) << c.what << ": the file is not replaced";
        }
        EXPECT_FALSE(std::filesystem::exists("data.tmp")) << c.what;
    }
}

TEST(FileIdentityTest, TellsEveryKindOfChangeAndNothingElse) {
    ScopedTempDir dir;
    EXPECT_FALSE(IdentityOf("data.steps"));
    WriteDiary({kFirst, kSecond});
    const std::optional<FileIdentity> written = IdentityOf("data.steps");
    ASSERT_TRUE(written);
    ReadFileBytes("data.steps");
    EXPECT_EQ(IdentityOf("data.steps"), written) << "a read is no change";

    StepRecord added = kThird;
    CStepFile(HereFiles()).Append(added);
    const std::optional<FileIdentity> appended = IdentityOf("data.steps");
    EXPECT_NE(appended, written);

    CStepFile(HereFiles()).DeleteById(1);
    const std::optional<FileIdentity> replaced = IdentityOf("data.steps");
    EXPECT_FALSE(replaced->IsSameFile(*appended));

    // The same number of bytes written over it in place.
    WriteDiary({kFirst, kThird});
    EXPECT_NE(IdentityOf("data.steps"), replaced);
}
