#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "CStepFile.h"
#include "FileIdentity.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// An edit that removes the records the scan meets at these places (newest
// first) and adds `added`.
PlanDiaryEdit Removing(std::vector<std::size_t> places, std::vector<StepRecord> added) {
    return [=](const std::vector<PlacedRecord>& newestFirst) {
        DiaryEdit edit;
        for (std::size_t place : places)
            edit.removed.push_back(newestFirst.at(place).offset);
        edit.added = added;
        return edit;
    };
}

} // namespace

TEST(RewriteTest, RemovesAndAddsInOneReplacementKeepingLeadingBytes) {
    ScopedTempDir dir;
    const std::vector<unsigned char> lead = {1, 2, 3};
    WriteDiary(
        {DiaryEntry(1, 2024, 1, 1, 1), DiaryEntry(2, 2024, 1, 2, 2), DiaryEntry(3, 2024, 1, 3, 3)},
        lead);
    StepRecord late = DiaryEntry(9, 2024, 2, 1);
    late.hour = 13;
    CStepFile file(HereFiles());
    // The newest record goes, yet the identifiers go on after it.
    const std::optional<DiaryEdit> done =
        file.Rewrite(Removing({0, 2}, {late, DiaryEntry(8, 2024, 2, 2)}));
    ASSERT_TRUE(done);
    EXPECT_EQ(done->added[0].identifier, 4u);
    EXPECT_EQ(ReadFileBytes("data.steps"),
              DiaryBytes({DiaryEntry(2, 2024, 1, 2, 2), DiaryEntry(9, 2024, 2, 1, 4),
                          DiaryEntry(8, 2024, 2, 2, 5)},
                         lead));
    EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"data.steps"}));
}

TEST(RewriteTest, AnEmptyEditOrAReadOnlyDiaryLeavesTheFileAlone) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2024, 1, 1, 1)});
    const std::optional<FileIdentity> before = IdentityOf("data.steps");
    EXPECT_TRUE(CStepFile(HereFiles()).Rewrite(Removing({}, {})));
    const std::optional<FileIdentity> after = IdentityOf("data.steps");
    ASSERT_TRUE(before && after);
    EXPECT_TRUE(before->IsSameFile(*after));

#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files";
#endif
    namespace fs = std::filesystem;
    fs::permissions("data.steps",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    CStepFile file(HereFiles());
    EXPECT_FALSE(file.Rewrite(Removing({0}, {})));
    EXPECT_FALSE(file.IsOk());
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes({DiaryEntry(1, 2024, 1, 1, 1)}));
}
