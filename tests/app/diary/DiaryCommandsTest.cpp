#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "DiaryCommands.h"
#include "EntryItems.h"
#include "ImportCommand.h"
#include "ReportCommand.h"
#include "ShownDiary.h"
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

TEST(DiaryCommandsTest, ADiaryLargerThanAnyIsRefusedInWordsAndLeftAsItIs) {
    ScopedTempDir dir;
    // 20 GB, sparse: it takes no room on disk.
    const std::uintmax_t size = std::uintmax_t{20} << 30;
    WriteFileBytes("data.steps", {});
    std::filesystem::resize_file("data.steps", size);
    CommandOutcome why;
    EXPECT_FALSE(LoadEntryItems(HereFiles(), &why));
    EXPECT_EQ(why.notice, "data.steps is too large to be a diary: the diary can be neither shown "
                          "nor kept.");
    EXPECT_EQ(why.log, "reading data.steps: more than 100000000 records");
    EXPECT_EQ(AddEntry(HereFiles(), 12, 2006y / May / 5).notice,
              "data.steps is too large to be a diary: the entry was not added.");
    EXPECT_FALSE(DeleteEntry(HereFiles(), 0));
    EXPECT_EQ(SaveReport(HereFiles(), {1}, 100, false, 32).notice,
              "data.steps is too large to be a diary: no report was made.");
    EXPECT_EQ(std::filesystem::file_size("data.steps"), size);
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"data.steps"});
}

TEST(DiaryCommandsTest, RunningOutOfMemoryIsAFailureInWordsAndWritesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "needs an address space limit (setrlimit) in a forked child";
#else
    ScopedTempDir dir;
    std::vector<StepRecord> records;
    std::vector<std::uint32_t> identifiers;
    for (std::uint32_t i = 1; i <= 200000; ++i) {
        records.push_back(DiaryEntry(i, 2006, 1 + i % 12, 1 + i % 28, i));
        identifiers.push_back(i);
    }
    WriteDiary(records);
    const std::vector<unsigned char> before = ReadFileBytes("data.steps");
    // In a child with a few megabytes of address space to spare, too few for
    // the rows of the list or the report: an exception escaping a command
    // would end it by a signal.
    const pid_t child = fork();
    if (child == 0) {
        std::FILE* statm = std::fopen("/proc/self/statm", "r");
        unsigned long pages = 0;
        if (!statm || std::fscanf(statm, "%lu", &pages) != 1)
            _exit(3);
        const rlim_t room = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (2 << 20);
        const rlimit limit{room, room};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(3);
        CommandOutcome why;
        ShownDiary shown(HereFiles());
        const bool listed = shown.Reload(&why).has_value();
        const CommandOutcome report = SaveReport(HereFiles(), identifiers, 100, true, 32);
        const std::string expected = "There is not enough memory: ";
        _exit(!listed && why.notice.rfind(expected, 0) == 0 &&
                      report.notice == expected + "no report was made."
                  ? 0
                  : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes("data.steps"), before);
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"data.steps"});
#endif
}

// A diary grown past its most records could never be opened again, so Add and
// imports refuse before writing a change that would pass it, and say why.
TEST(DiaryCommandsTest, NoChangeGrowsTheDiaryPastItsMostRecords) {
    ScopedTempDir dir;
    DiaryFiles files = HereFiles();
    files.mostRecords = 2;
    ASSERT_TRUE(AddEntry(files, 10, 2020y / January / 1));
    ASSERT_TRUE(AddEntry(files, 20, 2020y / January / 2));
    const std::vector<unsigned char> full = ReadFileBytes("data.steps");

    const CommandOutcome added = AddEntry(files, 30, 2020y / January / 3);
    EXPECT_EQ(added.notice, "data.steps would hold more than 2 entries, the most a diary can "
                            "hold: the entry was not added.");
    const CommandOutcome imported =
        ImportRows(files, {{2020y / January / 3, 30}}, ConflictChoice::kKeepDiary);
    EXPECT_NE(imported.notice.find("would hold more than 2 entries"), std::string::npos)
        << imported.notice;
    EXPECT_EQ(ReadFileBytes("data.steps"), full);

    // A change that stays within the most records is made.
    EXPECT_TRUE(ImportRows(files, {{2020y / January / 2, 25}}, ConflictChoice::kUseFile));
    EXPECT_TRUE(LoadEntryRecords(files));
}

// The import does what its preview showed: a date another window gave an
// entry after the preview keeps it, though the file's entries were chosen
// for the conflicts shown, and the counts say so.
TEST(DiaryCommandsTest, AnImportReplacesOnlyTheConflictsItsPreviewShowed) {
    ScopedTempDir dir;
    ASSERT_TRUE(AddEntry(HereFiles(), 100, 2020y / January / 1));
    WriteFileBytes("offered.csv",
                   {'2', '0', '2', '0', '-', '0', '1', '-', '0', '1', ',', '5', '\n',
                    '2', '0', '2', '0', '-', '0', '1', '-', '0', '5', ',', '9', '\n'});
    CommandOutcome why;
    std::optional<ImportPreview> preview = PreviewImport(HereFiles(), "offered.csv", {}, why);
    ASSERT_TRUE(preview) << why.notice;
    ASSERT_EQ(preview->merge.conflicts.size(), 1u);

    ASSERT_TRUE(AddEntry(HereFiles(), 7, 2020y / January / 5)); // another window, meanwhile
    ImportMerge done;
    ASSERT_TRUE(ImportRows(HereFiles(), preview->steps.rows, ConflictChoice::kUseFile, &done,
                           &preview->merge.conflicts));
    EXPECT_EQ(DescribeImport(done, ConflictChoice::kUseFile, 0),
              "added 0, unchanged 0, conflicts 1 replaced, 1 kept, rejected 0");
    const std::vector<StepRecord> records = LoadEntryRecords(HereFiles()).value();
    std::vector<std::uint32_t> steps;
    for (const StepRecord& record : records)
        steps.push_back(record.steps);
    EXPECT_EQ(steps, (std::vector<std::uint32_t>{5, 7}));
}
