// A power cut at any instant of a command: every file-system call the command
// makes is recorded, every state the disk may be left in is built from the
// record (CrashStates.h), in a strict POSIX model and an ext4-like one, and
// each is checked: the diary lists exactly the old entries or exactly the new
// ones (the new ones once the command has returned), the picture and the page
// are each the old or the new file, whole, and the next Add works.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <unistd.h>

#include "CommandLine.h"
#include "CrashStates.h"
#include "DiaryCommands.h"
#include "EditText.h"
#include "EntryItems.h"
#include "FileCommands.h"
#include "RecordedCalls.h"
#include "ReportCommand.h"
#include "StepReport.h"
#include "TempDir.h"
#include "TestDiary.h"
#include "UndoHistory.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

DirectoryImage ReadImage(const fs::path& directory) {
    DirectoryImage image;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        image[entry.path().filename().string()] = ReadFileBytes(entry.path());
    return image;
}

// A directory the crash states are built in, in memory when the machine has
// one: thousands of states are written and synced.
class StateDirectory {
public:
    StateDirectory() {
        const fs::path base =
            access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "trekline-power-cut-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        path_ = pattern;
    }
    ~StateDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    StateDirectory(const StateDirectory&) = delete;
    StateDirectory& operator=(const StateDirectory&) = delete;

    // Makes the directory hold exactly `image` and the current directory.
    void Hold(const DirectoryImage& image) {
        fs::current_path(path_);
        for (const fs::directory_entry& entry : fs::directory_iterator(path_))
            fs::remove_all(entry.path());
        for (const auto& [name, bytes] : image)
            WriteFileBytes(path_ / name, bytes);
    }

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::vector<EntryItem> Listed() {
    std::optional<std::vector<EntryItem>> items = LoadEntryItems(HereFiles());
    return items.value_or(std::vector<EntryItem>{EntryItem{"(not listed)", {}}});
}

struct Command {
    const char* name;
    DirectoryImage before;
    std::function<bool()> run;
    // Entries listed once it has returned: a command that did nothing would
    // pass every crash state.
    std::size_t listedAfter;
};

const std::vector<unsigned char> kOldPage = {'o', 'l', 'd'};
const std::vector<unsigned char> kOldPicture = {'B', 'M', 'o', 'l', 'd'};

DirectoryImage DiaryWithPages(std::vector<unsigned char> diary) {
    return {
        {"data.steps", std::move(diary)}, {"data_steps.bmp", kOldPicture}, {"out.html", kOldPage}};
}

std::vector<StepRecord> FiveEntries() {
    std::vector<StepRecord> records;
    for (std::uint32_t i = 1; i <= 5; ++i)
        records.push_back(DiaryEntry(1000 * i, 2024, 3, static_cast<int>(i), i));
    return records;
}

// The diary with a CSV file offered for import beside it.
DirectoryImage DiaryWithImport(std::string_view csv) {
    DirectoryImage image = DiaryWithPages(DiaryBytes(FiveEntries()));
    image["offered.csv"] = std::vector<unsigned char>(csv.begin(), csv.end());
    return image;
}

// The command line's import, as `trekline --import offered.csv [--replace]` runs it.
bool RunImport(std::vector<const char*> arguments) {
    std::ostringstream out, err;
    return RunFileCommand(ParseCommandLine(arguments), out, err) == 0;
}

std::vector<Command> Commands() {
    std::vector<unsigned char> torn = DiaryBytes(FiveEntries());
    const StepRecordBytes sixth = EncodeStepRecord(DiaryEntry(6000, 2024, 3, 6, 6));
    torn.insert(torn.end(), sixth.begin(), sixth.begin() + 8);
    std::vector<StepRecord> four = FiveEntries();
    four.erase(four.begin() + 2);
    const std::vector<unsigned char> withoutThird = DiaryBytes(four);
    return {
        {"first Add into an empty directory",
         {},
         [] { return AddEntry(HereFiles(), 4321, 2024y / March / 10d).Succeeded(); },
         1},
        {"Add", DiaryWithPages(DiaryBytes(FiveEntries())),
         [] { return AddEntry(HereFiles(), 4321, 2024y / March / 10d).Succeeded(); }, 6},
        {"Add after a torn record", DiaryWithPages(torn),
         [] { return AddEntry(HereFiles(), 4321, 2024y / March / 10d).Succeeded(); }, 6},
        {"Delete", DiaryWithPages(DiaryBytes(FiveEntries())),
         [] { return DeleteEntry(HereFiles(), 3).Succeeded(); }, 4},
        {"Edit", DiaryWithPages(DiaryBytes(FiveEntries())),
         [] {
             return EditListedEntry(HereFiles(), FiveEntries()[2], 33, 2024y / March / 9d)
                 .Succeeded();
         },
         5},
        {"Undo of a Delete", DiaryWithPages(withoutThird),
         [] {
             // The window deleted the third entry and left the file as it is now.
             const StepRecordBytes third = EncodeStepRecord(FiveEntries()[2]);
             DiaryChangeSeen seen;
             seen.after = *IdentityOf("data.steps");
             seen.bytes =
                 DiaryChangeSeen::Bytes{2 * kStepRecordSize, {third.begin(), third.end()}, {}};
             UndoHistory history;
             history.Record("Delete", seen);
             return history.Undo(HereFiles()).Succeeded();
         },
         5},
        {"Save HTML Report", DiaryWithPages(DiaryBytes(FiveEntries())),
         [] {
             return SaveReport(HereFiles(), {4, 1, 2, 3, 5}, ParseStepLength("100"), true,
                               kTrueColourBitsPerPixel)
                 .Succeeded();
         },
         5},
        // The 2nd agrees with the diary, the 6th and 7th are new.
        {"Import adding entries",
         DiaryWithImport("date,steps\r\n2024-03-02,2000\r\n2024-03-06,6\r\n2024-03-07,7\r\n"),
         [] {
             return RunImport({"--import", "offered.csv"});
         },
         7},
        // The 3rd conflicts and is replaced by the file's two rows; the 8th is new.
        {"Import replacing a conflict",
         DiaryWithImport("date,steps\n2024-03-03,1\n2024-03-03,2\n2024-03-08,8\n"),
         [] {
             return RunImport({"--import", "offered.csv", "--replace"});
         },
         7},
    };
}

// A file of the pages is the old one or the new one, whole; once the command
// has returned, the new one.
void ExpectOldOrNewFile(const std::string& name, const DirectoryImage& state,
                        const DirectoryImage& before, const DirectoryImage& after, bool returned,
                        const std::string& what) {
    auto now = state.find(name);
    auto old = before.find(name);
    auto good = after.find(name);
    const bool isOld =
        old == before.end() ? now == state.end() : now != state.end() && now->second == old->second;
    const bool isNew = good == after.end() ? now == state.end()
                                           : now != state.end() && now->second == good->second;
    EXPECT_TRUE(returned ? isNew : isOld || isNew) << what << ": " << name;
}

struct Outcome {
    std::size_t states = 0;
    std::size_t failures = 0;
};

Outcome CheckCrashStates(const Command& command, CrashModel model) {
    ScopedTempDir recording;
    for (const auto& [name, bytes] : command.before)
        WriteFileBytes(name, bytes);
    const std::vector<EntryItem> oldItems = Listed();
    // Listing created an empty diary where there was none; the command starts
    // from the directory as it was.
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
        fs::remove(entry.path());
    for (const auto& [name, bytes] : command.before)
        WriteFileBytes(name, bytes);

    StartRecordingCalls();
    const bool succeeded = command.run();
    const std::vector<RecordedCall> calls = StopRecordingCalls();
    EXPECT_TRUE(succeeded) << command.name;
    EXPECT_FALSE(UnrecordedChangeSeen()) << command.name << " changed a file out of the record";
    const DirectoryImage after = ReadImage(".");
    EXPECT_EQ(ReplayAll(recording.Path(), command.before, calls), after)
        << command.name << ": the record does not tell what the command did";
    const std::vector<EntryItem> newItems = Listed();
    EXPECT_EQ(newItems.size(), command.listedAfter) << command.name;

    Outcome outcome;
    StateDirectory states;
    for (const CrashState& state :
         EnumerateCrashStates(recording.Path(), command.before, calls, model)) {
        ++outcome.states;
        const bool returned = state.callsMade == calls.size();
        const std::string what = std::string(command.name) +
                                 (model == CrashModel::Posix ? " (POSIX)" : " (ext4-like)") +
                                 ", cut after call " + std::to_string(state.callsMade) + " of " +
                                 std::to_string(calls.size());
        states.Hold(state.files);
        const std::vector<EntryItem> items = Listed();
        EXPECT_TRUE(returned ? items == newItems : items == oldItems || items == newItems)
            << what << ": the diary lists " << items.size() << " entries";
        ExpectOldOrNewFile("data_steps.bmp", state.files, command.before, after, returned, what);
        ExpectOldOrNewFile("out.html", state.files, command.before, after, returned, what);

        // Whatever the cut left, the next change works on it and keeps it.
        EXPECT_TRUE(AddEntry(HereFiles(), 77, 2025y / January / 1d))
            << what << ": the next Add failed";
        EXPECT_EQ(Listed().size(), items.size() + 1) << what << ": the next Add";
        if (::testing::Test::HasFailure()) {
            ++outcome.failures;
            break;
        }
    }
    fs::current_path(recording.Path());
    return outcome;
}

} // namespace

TEST(PowerCutTest, EveryCrashStateOfEveryCommandHoldsTheOldOrTheNewFiles) {
    for (const Command& command : Commands()) {
        for (CrashModel model : {CrashModel::Posix, CrashModel::Ext4Like}) {
            const Outcome outcome = CheckCrashStates(command, model);
            std::printf("[ power cut] %-34s %-10s %5zu crash states\n", command.name,
                        model == CrashModel::Posix ? "POSIX" : "ext4-like", outcome.states);
            ASSERT_EQ(outcome.failures, 0u) << command.name;
        }
    }
}
