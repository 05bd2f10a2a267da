#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "ImportCommand.h"
#include "TempDir.h"
#include "TestDiary.h"
#include "UndoHistory.h"

using namespace std::chrono;

namespace {

// Five entries after three bytes from elsewhere, or before two bytes of a
// record torn by a power cut: undo must give those back as they were too.
void WriteOddDiary(bool tornTail = false) {
    std::vector<StepRecord> records;
    for (std::uint32_t id = 1; id <= 5; ++id)
        records.push_back(DiaryEntry(100 * id, 2024, 5, static_cast<int>(id), id));
    std::vector<unsigned char> bytes = DiaryBytes(
        records, tornTail ? std::vector<unsigned char>{} : std::vector<unsigned char>{7, 7, 7});
    if (tornTail)
        bytes.insert(bytes.end(), {9, 9});
    WriteFileBytes("data.steps", bytes);
}

StepRecord Listed(std::uint32_t identifier) {
    return DiaryEntry(100 * identifier, 2024, 5, static_cast<int>(identifier), identifier);
}

// Runs one window command and records it as the window does.
using Command = std::function<CommandOutcome(std::optional<DiaryChangeSeen>*)>;

void ImportCsv(const std::string& rows) {
    std::ofstream("steps.csv") << "date,steps\n" << rows;
}

const struct {
    const char* name;
    Command run;
} kCommands[] = {
    {"add", [](auto* seen) { return AddEntry(HereFiles(), 4321, 2024y / June / 1, seen); }},
    {"delete of the oldest",
     [](auto* seen) {
         CommandOutcome why;
         DeleteListedEntry(HereFiles(), Listed(1), &why, seen);
         return why;
     }},
    {"delete of the newest",
     [](auto* seen) {
         CommandOutcome why;
         DeleteListedEntry(HereFiles(), Listed(5), &why, seen);
         return why;
     }},
    {"edit",
     [](auto* seen) { return EditListedEntry(HereFiles(), Listed(3), 77, 2024y / May / 3, seen); }},
    {"import",
     [](auto* seen) {
         ImportCsv("2024-05-02,1\n2024-07-01,2\n");
         CommandOutcome why;
         std::optional<ImportPreview> preview = PreviewImport(HereFiles(), "steps.csv", {}, why);
         if (!preview)
             return why;
         return ImportRows(HereFiles(), preview->steps.rows, ConflictChoice::kUseFile, nullptr,
                           &preview->merge.conflicts, seen);
     }},
};

} // namespace

TEST(UndoHistoryTest, UndoGivesBackTheBytesBeforeAndRedoTheBytesAfter) {
    for (const bool tornTail : {false, true})
        for (const auto& command : kCommands) {
            SCOPED_TRACE(tornTail ? "torn tail" : "leading bytes");
            ScopedTempDir dir;
            WriteOddDiary(tornTail);
            const std::vector<unsigned char> before = ReadFileBytes("data.steps");
            std::optional<DiaryChangeSeen> seen;
            ASSERT_TRUE(command.run(&seen)) << command.name;
            const std::vector<unsigned char> after = ReadFileBytes("data.steps");
            ASSERT_NE(after, before) << command.name;
            UndoHistory history;
            history.Record(command.name, seen);
            for (int round = 0; round < 2; ++round) {
                ASSERT_TRUE(history.Undo(HereFiles())) << command.name;
                EXPECT_EQ(ReadFileBytes("data.steps"), before) << command.name;
                EXPECT_EQ(history.RedoName(), command.name);
                ASSERT_TRUE(history.Redo(HereFiles())) << command.name;
                EXPECT_EQ(ReadFileBytes("data.steps"), after) << command.name;
            }
        }
}

TEST(UndoHistoryTest, AnEditChangesOnlyTheCountsBytes) {
    ScopedTempDir dir;
    WriteOddDiary();
    const std::vector<unsigned char> before = ReadFileBytes("data.steps");
    ASSERT_TRUE(EditListedEntry(HereFiles(), Listed(2), 0x01020304, 2024y / May / 2));
    const std::vector<unsigned char> after = ReadFileBytes("data.steps");
    ASSERT_EQ(after.size(), before.size());
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i])
            changed.push_back(i);
    const std::size_t count = 3 + 24; // the second record's count
    EXPECT_EQ(changed, (std::vector<std::size_t>{count, count + 1, count + 2, count + 3}));
    // An entry changed meanwhile is not written.
    EXPECT_FALSE(EditListedEntry(HereFiles(), Listed(2), 5, 2024y / May / 2));
    EXPECT_EQ(ReadFileBytes("data.steps"), after);
}

// Another process changed the diary after the window's command: an added
// entry alone can still go; nothing else is put back, and theirs stay.
TEST(UndoHistoryTest, AfterAnotherWritersChangeOnlyOurAddedEntryGoes) {
    ScopedTempDir dir;
    WriteOddDiary();
    UndoHistory history;
    std::optional<DiaryChangeSeen> seen;
    ASSERT_TRUE(AddEntry(HereFiles(), 4321, 2024y / June / 1, &seen));
    history.Record("Add", seen);
    CommandOutcome why;
    ASSERT_EQ(DeleteListedEntry(HereFiles(), Listed(5), &why, &seen), DeleteOutcome::removed);
    history.Record("Delete", seen);

    ASSERT_TRUE(AddEntry(HereFiles(), 555, 2024y / June / 2)); // theirs
    const std::vector<unsigned char> theirs = ReadFileBytes("data.steps");
    const CommandOutcome refused = history.Undo(HereFiles());
    EXPECT_EQ(refused.notice, "The diary was changed elsewhere since: the Delete was not undone.");
    EXPECT_EQ(ReadFileBytes("data.steps"), theirs);

    ASSERT_TRUE(history.Undo(HereFiles()));
    std::vector<std::uint32_t> counts;
    for (const StepRecord& r : CStepFile(HereFiles()).ReadAll())
        counts.push_back(r.steps);
    EXPECT_EQ(counts, (std::vector<std::uint32_t>{555, 400, 300, 200, 100}));
    EXPECT_EQ(history.UndoName(), std::nullopt);
}
