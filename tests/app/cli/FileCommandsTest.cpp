// The command line's import and export, run as the program runs them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "DiaryCommands.h"
#include "EntryItems.h"
#include "FileCommands.h"
#include "ImportCommand.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

ProgramRun RunTrekline(const std::vector<const char*>& arguments) {
    std::ostringstream out, err;
    ProgramRun run;
    run.status = RunFileCommand(ParseCommandLine(arguments), out, err).value_or(-1);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> ListTexts() {
    std::vector<std::string> texts;
    const std::optional<std::vector<EntryItem>> items = LoadEntryItems(HereFiles());
    for (const EntryItem& item : items ? *items : std::vector<EntryItem>{})
        texts.push_back(item.text);
    return texts;
}

} // namespace

TEST(FileCommandsTest, ExportImportExportGivesTheSameBytesAndList) {
    ScopedTempDir dir;
    ScopedTimeZone zone("America/Los_Angeles");
    WriteDiary({DiaryEntry(12, 2006, 5, 5, 1, 5), DiaryEntry(0, 2006, 5, 5, 2, 5),
                DiaryEntry(4294967294u, 1999, 12, 31, 3, 5), DiaryEntry(7, 2006, 2, 30, 4)});
    ASSERT_EQ(RunTrekline({"--export-csv", "first.csv"}).status, 0);
    const std::vector<unsigned char> bytes = ReadFileBytes("first.csv");
    const std::string text(bytes.begin(), bytes.end());
    // In the list's order; the 30th of February (listed as the 2nd of March)
    // is written as stored.
    EXPECT_EQ(text, "date,steps\r\n1999-12-31,4294967294\r\n2006-02-30,7\r\n"
                    "2006-05-05,0\r\n2006-05-05,12\r\n");

    fs::create_directory("again");
    fs::current_path("again");
    const ProgramRun imported = RunTrekline({"--import", "../first.csv"});
    EXPECT_EQ(imported.status, 0);
    // The 30th of February is no date to import.
    EXPECT_EQ(imported.out, "added 3, unchanged 0, conflicts 0 kept, rejected 1\n");
    EXPECT_EQ(imported.err, "trekline: ../first.csv: line 3: the date is not YYYY-MM-DD\n");
    const std::vector<unsigned char> diary = ReadFileBytes("data.steps");
    ASSERT_EQ(RunTrekline({"--export-csv", "-"}).out,
              "date,steps\r\n1999-12-31,4294967294\r\n2006-05-05,0\r\n2006-05-05,12\r\n");

    // A second import of the same file changes nothing at all.
    EXPECT_EQ(RunTrekline({"--import", "../first.csv"}).out,
              "added 0, unchanged 2, conflicts 0 kept, rejected 1\n");
    EXPECT_EQ(ReadFileBytes("data.steps"), diary);
    const std::vector<std::string> restored = ListTexts();
    fs::current_path("..");
    std::vector<std::string> original = ListTexts();
    original.erase(original.begin() + 1);
    EXPECT_EQ(restored, original);
}

TEST(FileCommandsTest, ConflictsKeepTheDiaryUnlessReplaceIsGiven) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(12, 2006, 5, 5, 1), DiaryEntry(30, 2006, 5, 6, 2)});
    WriteFileBytes("other.csv", {'2', '0', '0', '6', '-', '0', '5', '-', '0', '5', ',', '9', '\n'});
    EXPECT_EQ(RunTrekline({"--import", "other.csv"}).out,
              "added 0, unchanged 0, conflicts 1 kept, rejected 0\n");
    EXPECT_EQ(ReadFileBytes("data.steps"),
              DiaryBytes({DiaryEntry(12, 2006, 5, 5, 1), DiaryEntry(30, 2006, 5, 6, 2)}));
    EXPECT_EQ(RunTrekline({"--import", "other.csv", "--replace"}).out,
              "added 0, unchanged 0, conflicts 1 replaced, rejected 0\n");
    EXPECT_EQ(RunTrekline({"--export-csv", "-"}).out,
              "date,steps\r\n2006-05-05,9\r\n2006-05-06,30\r\n");
}

TEST(FileCommandsTest, FailuresEndWithStatusOneAndChangeNothing) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(12, 2006, 5, 5, 1)});
    const std::vector<unsigned char> diary = ReadFileBytes("data.steps");
    const struct {
        std::vector<const char*> arguments;
        const char* err;
    } cases[] = {
        {{"--import", "missing.csv"}, "trekline: missing.csv cannot be opened"},
        {{"--import", "data.steps"}, "trekline: data.steps is not a text file: Trekline imports"},
        {{"--export-csv", "data.steps"}, "trekline: data.steps is one of the diary's own files"},
        {{"--export-csv", "no/such/dir/x.csv"},
         "trekline: The directory no/such/dir does not exist"},
    };
    for (const auto& [arguments, err] : cases) {
        const ProgramRun run = RunTrekline(arguments);
        EXPECT_EQ(run.status, 1) << arguments[1];
        EXPECT_TRUE(run.err.starts_with(err)) << run.err;
        EXPECT_EQ(ReadFileBytes("data.steps"), diary);
    }
    EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"data.steps"}));
}

TEST(FileCommandsTest, ACancelledReadChangesNothing) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(12, 2006, 5, 5, 1)});
    const std::string csv = "date,steps\n2006-05-06,1\n";
    WriteFileBytes("in.csv", {csv.begin(), csv.end()});
    CommandOutcome why;
    int asked = 0;
    EXPECT_FALSE(PreviewImport(
        HereFiles(), "in.csv", [&](auto, auto) { return ++asked < 0; }, why));
    EXPECT_GT(asked, 0);
    EXPECT_EQ(why.notice, "The import was cancelled: the diary is unchanged.");
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes({DiaryEntry(12, 2006, 5, 5, 1)}));
}
