// The directory is not ours alone. Whatever someone left under a name the
// commands create or replace (a link to another file, a pipe, a directory, a
// second name of another file), it is never written through, never blocks a
// command, and another file is never clobbered.
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DiaryCommands.h"
#include "EntryItems.h"
#include "ReportCommand.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

const std::vector<unsigned char> kNotes = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's'};
constexpr fs::perms kNotesMode = fs::perms(0640);

struct Squatter {
    const char* what;
    std::function<void(const fs::path&)> make;
    std::function<bool(const fs::path&)> stillThere;
    // A name for another file may be replaced by a new file of ours; a pipe
    // or a directory is not a file we could have left.
    bool leadsToAFile;
};

const Squatter kSquatters[] = {
    {"a link to notes.txt", [](const fs::path& p) { fs::create_symlink("notes.txt", p); },
     [](const fs::path& p) { return fs::is_symlink(p); }, true},
    {"a pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
     [](const fs::path& p) { return fs::is_fifo(p); }, false},
    {"a directory", [](const fs::path& p) { fs::create_directory(p); },
     [](const fs::path& p) { return fs::is_directory(p); }, false},
    {"a hard link to notes.txt", [](const fs::path& p) { fs::create_hard_link("notes.txt", p); },
     [](const fs::path& p) { return fs::equivalent(p, "notes.txt"); }, true},
};

std::vector<StepRecord> ThreeEntries() {
    return {DiaryEntry(100, 2024, 3, 1, 1), DiaryEntry(200, 2024, 3, 2, 2),
            DiaryEntry(300, 2024, 3, 3, 3)};
}

class HostileDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes("notes.txt", kNotes);
        fs::permissions("notes.txt", kNotesMode);
        WriteDiary(ThreeEntries());
        // A command that blocked on a pipe would hang the test: end it instead.
        alarm(60);
    }
    void TearDown() override { alarm(0); }

    void ExpectNotesUntouched(const std::string& what) {
        EXPECT_EQ(ReadFileBytes("notes.txt"), kNotes) << what;
        EXPECT_EQ(fs::status("notes.txt").permissions() & fs::perms::all, kNotesMode) << what;
    }

    ScopedTempDir dir_;
};

} // namespace

TEST_F(HostileDirectoryTest, ADeleteLeavesWhateverHoldsTheScratchNameAndStillWorks) {
    for (const Squatter& squatter : kSquatters) {
        WriteDiary(ThreeEntries());
        squatter.make("data.tmp");
        EXPECT_TRUE(DeleteEntry(HereFiles(), 2)) << squatter.what;
        EXPECT_EQ(ReadFileBytes("data.steps"),
                  DiaryBytes({DiaryEntry(100, 2024, 3, 1, 1), DiaryEntry(300, 2024, 3, 3, 3)}))
            << squatter.what;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("data.steps"))) << squatter.what;
        // Later changes go to the diary, not through anything left behind.
        EXPECT_TRUE(AddEntry(HereFiles(), 400, 2024y / March / 4d)) << squatter.what;
        EXPECT_EQ(LoadEntryItems(HereFiles())->size(), 3u) << squatter.what;
        EXPECT_TRUE(squatter.stillThere("data.tmp")) << squatter.what;
        ExpectNotesUntouched(squatter.what);
        EXPECT_EQ(DirectoryNames().size(), 3u) << squatter.what << ": a scratch file was left";
        fs::remove("data.tmp");
    }
}

TEST_F(HostileDirectoryTest, AReportNeverWritesThroughAnythingUnderItsNames) {
    const std::string pid = std::to_string(getpid());
    for (const char* name : {"data_steps.bmp", "out.html"}) {
        for (const Squatter& squatter : kSquatters) {
            const std::string what = std::string(squatter.what) + " as " + name;
            squatter.make(name);
            // The names the scratch copies once had, planted in advance.
            for (const std::string& planted :
                 {"data_steps.bmp." + pid + ".tmp", "out.html." + pid + ".tmp"})
                fs::create_hard_link("notes.txt", planted);
            const CommandOutcome result = SaveReport(HereFiles(), {3, 1, 2}, 100, false, 32);
            if (squatter.leadsToAFile) {
                // The name is replaced by a file of ours; what it led to is kept.
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(name))) << what;
                EXPECT_FALSE(fs::equivalent(name, "notes.txt")) << what;
            } else {
                EXPECT_TRUE(squatter.stillThere(name)) << what;
            }
            if (std::string(name) == "out.html") {
                EXPECT_EQ(result.Succeeded(), squatter.leadsToAFile) << what;
            }
            ExpectNotesUntouched(what);
            for (const fs::directory_entry& entry : fs::directory_iterator("."))
                if (entry.path().filename() != "data.steps" &&
                    entry.path().filename() != "notes.txt")
                    fs::remove_all(entry.path());
        }
    }
}

TEST_F(HostileDirectoryTest, AReportKeepsTheModesOfThePictureAndThePage) {
    for (fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0644)}) {
        WriteFileBytes("out.html", {'o', 'l', 'd'});
        WriteFileBytes("data_steps.bmp", {'o', 'l', 'd'});
        fs::permissions("out.html", mode);
        fs::permissions("data_steps.bmp", mode);
        ASSERT_TRUE(SaveReport(HereFiles(), {3, 1, 2}, 100, false, 32));
        EXPECT_EQ(fs::status("out.html").permissions() & fs::perms::all, mode);
        EXPECT_EQ(fs::status("data_steps.bmp").permissions() & fs::perms::all, mode);
        EXPECT_GT(fs::file_size("data_steps.bmp"), 3u);
    }
}

TEST_F(HostileDirectoryTest, ADiaryNameHoldingAPipeOrDirectoryIsRefusedWithoutBlocking) {
    fs::remove("data.steps");
    for (const Squatter& squatter : {kSquatters[1], kSquatters[2]}) {
        squatter.make("data.steps");
        EXPECT_FALSE(LoadEntryItems(HereFiles())) << squatter.what;
        EXPECT_FALSE(AddEntry(HereFiles(), 400, 2024y / March / 4d)) << squatter.what;
        EXPECT_FALSE(DeleteEntry(HereFiles(), 1)) << squatter.what;
        EXPECT_TRUE(squatter.stillThere("data.steps")) << squatter.what;
        fs::remove("data.steps");
    }
}
