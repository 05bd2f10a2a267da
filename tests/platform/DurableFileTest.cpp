// Files we open and create in a directory that is not ours alone: whatever is
// already under a name we create or open, it is never written through, never
// blocks us and is left as it was.
#include "FileHandle.h"
#include "ScratchFile.h"

#include <cerrno>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::vector<unsigned char> kNotes = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's'};

// Something a user or another program may have left under a name.
struct Squatter {
    const char* what;
    std::function<void(const fs::path&)> make;
    // Whether the name still holds it, untouched, and notes.txt is as it was.
    std::function<bool(const fs::path&)> intact;
};

bool NotesIntact() {
#ifdef _WIN32
    // Windows keeps a read-only flag rather than mode bits.
    return ReadFileBytes("notes.txt") == kNotes;
#else
    return ReadFileBytes("notes.txt") == kNotes &&
           (fs::status("notes.txt").permissions() & fs::perms::all) == fs::perms(0640);
#endif
}

// Windows has no pipes in a directory, and its links (reparse points) are
// squatters of WindowsFileTest, which says when the system makes none.
std::vector<Squatter> Squatters() {
    return {
#ifndef _WIN32
        {"a link to another file", [](const fs::path& p) { fs::create_symlink("notes.txt", p); },
         [](const fs::path& p) {
             return fs::is_symlink(p) && fs::read_symlink(p) == "notes.txt" && NotesIntact();
         }},
        {"a link that points nowhere",
         [](const fs::path& p) { fs::create_symlink("nowhere.txt", p); },
         [](const fs::path& p) { return fs::is_symlink(p) && !fs::exists("nowhere.txt"); }},
        {"a pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         [](const fs::path& p) { return fs::is_fifo(p); }},
#endif
        {"a directory", [](const fs::path& p) { fs::create_directory(p); },
         [](const fs::path& p) { return fs::is_directory(p) && fs::is_empty(p); }},
        {"a hard link to another file",
         [](const fs::path& p) { fs::create_hard_link("notes.txt", p); },
         [](const fs::path& p) { return fs::equivalent(p, "notes.txt") && NotesIntact(); }},
    };
}

class DurableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes("notes.txt", kNotes);
        fs::permissions("notes.txt", fs::perms(0640));
#ifndef _WIN32
        // A pipe opened the blocking way would hang the test: end it instead.
        alarm(30);
#endif
    }
#ifndef _WIN32
    void TearDown() override { alarm(0); }
#endif

    ScopedTempDir dir_;
};

} // namespace

TEST_F(DurableFileTest, AScratchNameTakenByAnythingIsLeftAndAFreshNameCreated) {
    for (const Squatter& squatter : Squatters()) {
        squatter.make("data.tmp");
        ScratchFile scratch =
            CreateNamedScratchFile("data.tmp", ScratchName::StemFirst, ScratchAccess::OwnerOnly);
        ASSERT_TRUE(scratch.status) << squatter.what << ": " << scratch.status.Describe();
        EXPECT_NE(scratch.name, "data.tmp") << squatter.what;
        EXPECT_EQ(scratch.name.string().rfind("data.tmp.", 0), 0u) << scratch.name;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(scratch.name))) << squatter.what;
        EXPECT_TRUE(squatter.intact("data.tmp")) << squatter.what;
        scratch.file = FileHandle();
        RemoveScratchFile(scratch);
        EXPECT_FALSE(fs::exists(scratch.name)) << squatter.what;
        fs::remove("data.tmp");
    }
}

TEST_F(DurableFileTest, FreshScratchNamesDifferAndAFreeStemIsUsedAsItIs) {
    ScratchFile first =
        CreateNamedScratchFile("out.html", ScratchName::Fresh, ScratchAccess::OwnerOnly);
    ScratchFile second =
        CreateNamedScratchFile("out.html", ScratchName::Fresh, ScratchAccess::OwnerOnly);
    ASSERT_TRUE(first.status && second.status);
    EXPECT_NE(first.name, second.name);
    EXPECT_FALSE(fs::exists("out.html"));
    ScratchFile stem =
        CreateNamedScratchFile("data.tmp", ScratchName::StemFirst, ScratchAccess::OwnerOnly);
    ASSERT_TRUE(stem.status);
    EXPECT_EQ(stem.name, "data.tmp");
}

TEST_F(DurableFileTest, ADiaryNameHoldingNoRegularFileIsRefusedWithoutBlocking) {
    for (const Squatter& squatter : Squatters()) {
        const bool regular = std::string(squatter.what).find("other file") != std::string::npos;
        if (regular)
            continue; // a link to a file, or a second name of one, is that file
        squatter.make("data.steps");
        for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWriteCreating}) {
            OpenedFile opened = OpenRegularFile("data.steps", mode);
            EXPECT_FALSE(opened.status) << squatter.what;
            EXPECT_FALSE(opened.file.IsOpen()) << squatter.what;
            EXPECT_TRUE(squatter.intact("data.steps")) << squatter.what;
        }
        fs::remove("data.steps");
    }
}

TEST_F(DurableFileTest, AMissingFileIsCreatedAndAFailureKeepsItsCallAndErrno) {
    OpenedFile created = OpenRegularFile("data.steps", OpenMode::ReadWriteCreating);
    ASSERT_TRUE(created.status) << created.status.Describe();
    EXPECT_TRUE(created.created && created.writable);
    EXPECT_TRUE(fs::is_regular_file("data.steps"));
    OpenedFile again = OpenRegularFile("data.steps", OpenMode::ReadWriteCreating);
    EXPECT_TRUE(again.status && !again.created);

#ifdef _WIN32
    const std::string call = "CreateFileW";
#else
    const std::string call = "open";
#endif
    OpenedFile missing =
        OpenRegularFile("no-such-directory/data.steps", OpenMode::ReadWriteCreating);
    EXPECT_EQ(missing.status.Call(), call);
    EXPECT_EQ(missing.status.Error(), ENOENT);
    EXPECT_EQ(missing.status.Describe(),
              call + " of no-such-directory/data.steps: No such file or directory");
    EXPECT_FALSE(fs::exists("no-such-directory"));
}
