#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "DiaryCommands.h"
#include "StepRecord.h"
#include "TempDir.h"
#include "TestDiary.h"

using namespace std::chrono;

namespace {

std::vector<unsigned char> Concat(std::vector<unsigned char> a,
                                  const std::vector<unsigned char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(DiaryCommandsTest, AddWritesOneWholeRecordWithTheNextIdentifier) {
    ScopedTempDir dir;
    ASSERT_TRUE(AddEntry(HereFiles(), 12, 2006y / May / 5));
    const std::vector<unsigned char> first = {
        12, 0, 0, 0, 0xD6, 0x07, 5, 0, 5, 0, 5, 0, // steps, 2006, May, Friday, the 5th
        0,  0, 0, 0, 0,    0,    0, 0,             // time of day
        1,  0, 0, 0,                               // identifier
    };
    EXPECT_EQ(ReadFileBytes("data.steps"), first);

    ASSERT_TRUE(AddEntry(HereFiles(), 12, 2006y / May / 5));
    std::vector<unsigned char> second = first;
    second[20] = 2;
    EXPECT_EQ(ReadFileBytes("data.steps"), Concat(first, second));

    // Sunday is day 0 of the week.
    ASSERT_TRUE(AddEntry(HereFiles(), 0, 2026y / December / 6));
    EXPECT_EQ(ReadFileBytes("data.steps")[48 + 8], 0);
    EXPECT_FALSE(std::filesystem::exists("data.tmp"));
}

TEST(DiaryCommandsTest, DeleteRemovesExactlyTheEntryWithThatIdentifier) {
    ScopedTempDir dir;
    ASSERT_TRUE(AddEntry(HereFiles(), 900, 2006y / May / 5));
    ASSERT_TRUE(AddEntry(HereFiles(), 900, 2006y / May / 5));
    ASSERT_TRUE(AddEntry(HereFiles(), 50, 2006y / May / 6));
    const std::vector<unsigned char> before = ReadFileBytes("data.steps");

    std::optional<std::vector<EntryItem>> items = LoadEntryItems(HereFiles());
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 3u);
    ASSERT_EQ((*items)[0].text, (*items)[1].text);
    DeleteEntry(HereFiles(), (*items)[1].record.identifier);

    // Equal texts keep the scan order, newest first: the second item is the
    // first record.
    ASSERT_EQ((*items)[1].record.identifier, 1u);
    const std::vector<unsigned char> expected(before.begin() + 24, before.end());
    EXPECT_EQ(ReadFileBytes("data.steps"), expected);

    // An identifier the file no longer holds changes nothing.
    DeleteEntry(HereFiles(), (*items)[1].record.identifier);
    EXPECT_EQ(ReadFileBytes("data.steps"), expected);
}

TEST(DiaryCommandsTest, ListStartsEmptyAndCreatesTheFile) {
    ScopedTempDir dir;
    std::optional<std::vector<EntryItem>> items = LoadEntryItems(HereFiles());
    ASSERT_TRUE(items);
    EXPECT_TRUE(items->empty());
    EXPECT_TRUE(std::filesystem::exists("data.steps"));
    EXPECT_EQ(std::filesystem::file_size("data.steps"), 0u);
}

TEST(DiaryCommandsTest, AFileThatCannotBeOpenedIsReportedAndLeftAlone) {
    ScopedTempDir dir;
    std::filesystem::create_directory("data.steps");
    EXPECT_FALSE(AddEntry(HereFiles(), 12, 2006y / May / 5));
    EXPECT_FALSE(LoadEntryItems(HereFiles()));
    EXPECT_TRUE(std::filesystem::is_directory("data.steps"));
}

TEST(DiaryCommandsTest, DeleteOfAListedEntrySaysWhetherItWasStillThere) {
    ScopedTempDir dir;
    ASSERT_TRUE(AddEntry(HereFiles(), 900, 2006y / May / 5));
    std::optional<std::vector<EntryItem>> items = LoadEntryItems(HereFiles());
    ASSERT_TRUE(items && items->size() == 1);
    const StepRecord listed = (*items)[0].record;

    StepRecord changed = listed;
    changed.steps = 901;
    EXPECT_EQ(DeleteListedEntry(HereFiles(), changed), DeleteOutcome::changed);
    EXPECT_EQ(DeleteListedEntry(HereFiles(), listed), DeleteOutcome::removed);
    EXPECT_EQ(DeleteListedEntry(HereFiles(), listed), DeleteOutcome::changed);
    EXPECT_EQ(std::filesystem::file_size("data.steps"), 0u);

    std::filesystem::remove("data.steps");
    std::filesystem::create_directory("data.steps");
    EXPECT_EQ(DeleteListedEntry(HereFiles(), listed), DeleteOutcome::failed);
}
