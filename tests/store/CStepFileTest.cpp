#include "CStepFile.h"

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "FileLinks.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint32_t> Identifiers(CStepFile& file) {
    std::vector<std::uint32_t> ids;
    for (const StepRecord& r : file.ReadAll())
        ids.push_back(r.identifier);
    return ids;
}

} // namespace

TEST(StepRecordTest, EncodesTheStoredLayout) {
    StepRecord r = DiaryEntry(12, 2006, 5, 5, 1);
    r.dayOfWeek = 5;
    std::vector<unsigned char> expected = {12, 0, 0, 0, 0xD6, 0x07, 5, 0, 5, 0, 5, 0,
                                           0,  0, 0, 0, 0,    0,    0, 0, 1, 0, 0, 0};
    StepRecordBytes bytes = EncodeStepRecord(r);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(DecodeStepRecord(bytes.data()), r);
}

TEST(CStepFileTest, MissingFileIsCreatedEmptyAndFirstRecordGetsIdentifierOne) {
    ScopedTempDir dir;
    CStepFile file(HereFiles());
    ASSERT_TRUE(file.IsOk());
    EXPECT_TRUE(fs::exists("data.steps"));
    StepRecord last = DiaryEntry(5, 2000, 1, 1, 99);
    file.ReadLast(last);
    EXPECT_EQ(last.steps, kEndMarker);
    EXPECT_EQ(last.identifier, 0u);

    StepRecord added = DiaryEntry(12, 2006, 5, 5);
    added.hour = 13;
    added.milliseconds = 250;
    file.Append(added);
    EXPECT_TRUE(file.IsOk());
    EXPECT_EQ(added.identifier, 1u);
    EXPECT_EQ(added.hour, 0);
    EXPECT_EQ(added.milliseconds, 0);
    EXPECT_EQ(fs::file_size("data.steps"), 24u);
}

TEST(CStepFileTest, IdentifiersFollowTheNewestRecordAndAreReusedAfterDeletingIt) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 40), DiaryEntry(2, 2006, 1, 2, 7)});
    CStepFile file(HereFiles());
    StepRecord r = DiaryEntry(3, 2006, 1, 3);
    file.Append(r);
    EXPECT_EQ(r.identifier, 8u);

    file.DeleteById(8);
    StepRecord again = DiaryEntry(4, 2006, 1, 4);
    file.Append(again);
    EXPECT_EQ(again.identifier, 8u);
    EXPECT_EQ(Identifiers(file), (std::vector<std::uint32_t>{8, 7, 40}));
}

TEST(CStepFileTest, ReadsBackwardsAndKeepsThePositionAtTheRecordRead) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(2, 2006, 1, 2, 2)});
    CStepFile file(HereFiles());
    StepRecord r;
    file.ReadLast(r);
    EXPECT_EQ(r.identifier, 2u);
    file.StepBack(r);
    EXPECT_EQ(r.identifier, 1u);
    file.StepBack(r);
    EXPECT_EQ(r.steps, kEndMarker);
    EXPECT_EQ(r.identifier, 0u);
    EXPECT_TRUE(file.IsOk());
}

TEST(CStepFileTest, LeadingPartialBytesAreNeverReadAndSurviveADelete) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(2, 2006, 1, 2, 2)}, {0xAB, 0xCD});
    CStepFile file(HereFiles());
    EXPECT_EQ(Identifiers(file), (std::vector<std::uint32_t>{2, 1}));
    StepRecord found;
    file.FindById(1, found);
    EXPECT_EQ(found, DiaryEntry(1, 2006, 1, 1, 1));

    file.DeleteById(2);
    std::vector<unsigned char> bytes = ReadFileBytes("data.steps");
    ASSERT_EQ(bytes.size(), 26u);
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(bytes[1], 0xCD);
    EXPECT_EQ(DecodeStepRecord(&bytes[2]), DiaryEntry(1, 2006, 1, 1, 1));
    EXPECT_FALSE(fs::exists("data.tmp"));
}

TEST(CStepFileTest, AStoredEndMarkerHidesItselfAndEveryOlderRecord) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(kEndMarker, 2006, 1, 2, 2),
                DiaryEntry(3, 2006, 1, 3, 3)});
    CStepFile file(HereFiles());
    EXPECT_EQ(Identifiers(file), (std::vector<std::uint32_t>{3}));
    StepRecord found = DiaryEntry(9, 1999, 9, 9, 9);
    file.FindById(1, found);
    EXPECT_EQ(found.steps, kEndMarker);
    EXPECT_EQ(found.year, 1999) << "a miss sets only the steps field";

    std::vector<unsigned char> before = ReadFileBytes("data.steps");
    file.DeleteById(1);
    EXPECT_EQ(ReadFileBytes("data.steps"), before);
}

TEST(CStepFileTest, AppendRefusesTheEndMarkerAsACount) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 1)});
    CStepFile file(HereFiles());
    StepRecord r = DiaryEntry(kEndMarker, 2006, 1, 2);
    file.Append(r);
    EXPECT_FALSE(file.IsOk());
    EXPECT_EQ(fs::file_size("data.steps"), 24u);
}

TEST(CStepFileTest, DeletingAMissingIdentifierTouchesNothing) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(2, 2006, 1, 2, 2)});
    std::vector<unsigned char> before = ReadFileBytes("data.steps");
    auto modified = fs::last_write_time("data.steps");
    CStepFile file(HereFiles());
    file.DeleteById(5);
    EXPECT_EQ(ReadFileBytes("data.steps"), before);
    EXPECT_EQ(fs::last_write_time("data.steps"), modified);
    EXPECT_FALSE(fs::exists("data.tmp"));
}

TEST(CStepFileTest, DeleteRemovesTheNewestMatchAndKeepsPermissions) {
    ScopedTempDir dir;
    // Two records with one identifier can only come from outside the program;
    // the newest is the one the scan finds.
    WriteDiary(
        {DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(2, 2006, 1, 2, 2), DiaryEntry(3, 2006, 1, 3, 2)});
    fs::permissions("data.steps",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // What the system kept of them: Windows keeps only whether it may be written.
    const fs::perms kept = fs::status("data.steps").permissions() & fs::perms::all;
    CStepFile file(HereFiles());
    file.DeleteById(2);
    EXPECT_TRUE(file.IsOk());
    std::vector<StepRecord> left = file.ReadAll();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].steps, 2u);
    EXPECT_EQ(left[1].steps, 1u);
    EXPECT_EQ(fs::status("data.steps").permissions() & fs::perms::all, kept);
    EXPECT_FALSE(fs::exists("data.tmp"));
}

TEST(CStepFileTest, AnAccessorThatIsNotOpenChangesNothing) {
    ScopedTempDir dir;
    CStepFile file(DiaryFilesIn("no-such-directory"));
    EXPECT_FALSE(file.IsOk());
    StepRecord r = DiaryEntry(5, 2006, 1, 1);
    file.Append(r);
    file.DeleteById(1);
    StepRecord last;
    file.ReadLast(last);
    EXPECT_EQ(last.steps, kEndMarker);
    EXPECT_TRUE(file.ReadAll().empty());
    EXPECT_FALSE(fs::exists("no-such-directory"));
}

TEST(CStepFileTest, ADirectoryInTheWayOfTheScratchNameIsLeftAndAFreshNameUsed) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(2, 2006, 1, 2, 2)});
    fs::create_directory("data.tmp");
    CStepFile file(HereFiles());
    file.DeleteById(1);
    EXPECT_TRUE(file.IsOk());
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes({DiaryEntry(2, 2006, 1, 2, 2)}));
    EXPECT_TRUE(fs::is_directory("data.tmp"));
}

TEST(CStepFileTest, AnyPathLengthWorks) {
    ScopedTempDir dir;
    fs::path deep;
    for (int i = 0; i < 12; ++i)
        deep /= std::string(60, static_cast<char>('a' + i));
    fs::create_directories(deep);
    const DiaryFiles files = DiaryFilesIn(deep);
    ASSERT_GT(files.steps.string().size(), 700u);
    CStepFile file(files);
    StepRecord r = DiaryEntry(3, 2006, 1, 1);
    file.Append(r);
    file.Append(r);
    file.DeleteById(1);
    EXPECT_EQ(Identifiers(file), (std::vector<std::uint32_t>{2}));
    EXPECT_FALSE(fs::exists(deep / "data.tmp"));
}

TEST(CStepFileTest, OneReadAnswersExactlyAsTheRecordByRecordScan) {
    ScopedTempDir dir;
    std::mt19937 random(20061105);
    for (int round = 0; round < 50; ++round) {
        std::vector<unsigned char> bytes(random() % 400);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(random() % 4 == 0 ? 0xFF : random());
        WriteFileBytes("data.steps", bytes);
        CStepFile file(HereFiles());
        std::vector<StepRecord> scanned;
        StepRecord r;
        for (file.ReadLast(r); r.steps != kEndMarker; file.StepBack(r))
            scanned.push_back(r);
        EXPECT_EQ(file.ReadAll(), scanned) << "round " << round;
    }
}

TEST(CStepFileTest, ADiaryBehindALinkIsChangedWhereItLiesAndTheLinkStays) {
    ScopedTempDir dir;
    fs::create_directory("synced");
    WriteFileBytes("synced/diary.steps",
                   DiaryBytes({DiaryEntry(1, 2006, 1, 1, 1), DiaryEntry(2, 2006, 1, 2, 2)}));
    fs::permissions("synced/diary.steps", fs::perms(0600));
    if (!MakeSymbolicLink("synced/diary.steps", "data.steps"))
        GTEST_SKIP() << "this system makes no symbolic links";
    {
        CStepFile file(HereFiles());
        StepRecord r = DiaryEntry(3, 2006, 1, 3);
        file.Append(r);
        file.DeleteById(1);
        EXPECT_TRUE(file.IsOk());
        EXPECT_EQ(Identifiers(file), (std::vector<std::uint32_t>{3, 2}));
    }
    EXPECT_TRUE(IsSymbolicLink("data.steps"));
    EXPECT_EQ(ReadFileBytes("synced/diary.steps"),
              DiaryBytes({DiaryEntry(2, 2006, 1, 2, 2), DiaryEntry(3, 2006, 1, 3, 3)}));
    EXPECT_EQ(fs::status("synced/diary.steps").permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_FALSE(fs::exists("data.tmp"));
    EXPECT_FALSE(fs::exists("synced/data.tmp"));
}

TEST(CStepFileTest, ADiaryWithASecondNameIsReplacedUnderOursAndTheOtherKept) {
    ScopedTempDir dir;
    const std::vector<unsigned char> both = DiaryBytes({DiaryEntry(1, 2006, 1, 1, 1)});
    WriteFileBytes("data.steps", both);
    fs::create_hard_link("data.steps", "copy.steps");
    CStepFile file(HereFiles());
    file.DeleteById(1);
    EXPECT_TRUE(file.IsOk());
    EXPECT_TRUE(file.ReadAll().empty());
    EXPECT_EQ(ReadFileBytes("copy.steps"), both);
}

TEST(CStepFileTest, AFileLargerThanAnyDiaryIsRefusedUnreadAndUnchanged) {
    ScopedTempDir dir;
    // 20 GB, sparse: it takes no room on disk.
    const std::uintmax_t size = std::uintmax_t{20} << 30;
    WriteFileBytes("data.steps", {});
    fs::resize_file("data.steps", size);
    CStepFile file(HereFiles());
    EXPECT_TRUE(file.ReadAll().empty());
    EXPECT_FALSE(file.IsOk());
    EXPECT_TRUE(file.IsTooLarge()) << file.Failure().Describe();
    StepRecord r = DiaryEntry(3, 2006, 1, 3);
    file.Append(r);
    file.DeleteById(0);
    EXPECT_EQ(fs::file_size("data.steps"), size);
    EXPECT_FALSE(fs::exists("data.tmp"));
}
