// Replacing a file: the name ends up with the new contents, the old file's
// mode and owner, or with the old file untouched; whatever was under the name
// is never written through.
#include "ReplacementFile.h"

#include <filesystem>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "FileLinks.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> kNew = {'n', 'e', 'w'};
const std::vector<unsigned char> kOld = {'o', 'l', 'd'};

FileStatus Replace(const fs::path& name) {
    ReplacementFile file(name);
    file.Write(kNew);
    return file.Commit();
}

std::size_t EntriesHere() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("."), {}));
}

} // namespace

TEST(ReplacementFileTest, TheNewFileKeepsTheModeAndOwnerOfTheOldOne) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no mode bits or owner ids: access is the folder's";
#else
    ScopedTempDir dir;
    for (mode_t mode : {0600, 0640, 0644, 0664, 0750}) {
        WriteFileBytes("out.html", kOld);
        ASSERT_EQ(::chmod("out.html", mode), 0);
        if (geteuid() == 0) {
            ASSERT_EQ(::chown("out.html", 1234, 5678), 0);
        }
        ASSERT_TRUE(Replace("out.html")) << std::oct << mode;
        struct stat info;
        ASSERT_EQ(::stat("out.html", &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        if (geteuid() == 0) {
            EXPECT_EQ(info.st_uid, 1234u);
            EXPECT_EQ(info.st_gid, 5678u);
        }
        EXPECT_EQ(ReadFileBytes("out.html"), kNew);
        EXPECT_EQ(EntriesHere(), 1u);
    }
#endif
}

TEST(ReplacementFileTest, ANewFileGetsTheModeTheUmaskGives) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no umask";
#else
    ScopedTempDir dir;
    const mode_t old = ::umask(027);
    const FileStatus status = Replace("out.html");
    ::umask(old);
    ASSERT_TRUE(status) << status.Describe();
    EXPECT_EQ(fs::status("out.html").permissions() & fs::perms::all, fs::perms(0640));
#endif
}

TEST(ReplacementFileTest, ALinkIsReplacedAndWhatItPointsToLeftAlone) {
    ScopedTempDir dir;
    WriteFileBytes("notes.txt", kOld);
    fs::create_hard_link("notes.txt", "out.html");
    ASSERT_TRUE(Replace("out.html"));
    EXPECT_EQ(ReadFileBytes("out.html"), kNew);
    EXPECT_EQ(ReadFileBytes("notes.txt"), kOld);

    fs::remove("out.html");
    if (!MakeSymbolicLink("notes.txt", "out.html"))
        GTEST_SKIP() << "this system makes no symbolic links";
    ASSERT_TRUE(Replace("out.html"));
    EXPECT_FALSE(IsSymbolicLink("out.html"));
    EXPECT_EQ(ReadFileBytes("out.html"), kNew);
    EXPECT_EQ(ReadFileBytes("notes.txt"), kOld);
}

TEST(ReplacementFileTest, APipeOrDirectoryUnderTheNameIsNotReplacedAndNothingIsLeft) {
    ScopedTempDir dir;
    // Windows has no pipes in a directory.
#ifndef _WIN32
    alarm(30);
    ASSERT_EQ(::mkfifo("out.html", 0600), 0);
    EXPECT_FALSE(Replace("out.html"));
    EXPECT_TRUE(fs::is_fifo("out.html"));
    fs::remove("out.html");
    alarm(0);
#endif
    fs::create_directory("out.html");
    const FileStatus status = Replace("out.html");
    EXPECT_EQ(status.Error(), EISDIR) << status.Describe();
    EXPECT_TRUE(fs::is_directory("out.html"));
    EXPECT_EQ(EntriesHere(), 1u);
}

TEST(ReplacementFileTest, AnUncommittedCopyIsRemoved) {
    ScopedTempDir dir;
    WriteFileBytes("out.html", kOld);
    {
        ReplacementFile file("out.html");
        ASSERT_TRUE(file.Write(kNew));
    }
    EXPECT_EQ(ReadFileBytes("out.html"), kOld);
    EXPECT_EQ(EntriesHere(), 1u);
}

// A scratch file named but never renamed (its writer killed in between) is
// removed by the next writer; names that do not prove themselves ours stay:
// another inode than the name says, a second link, a symbolic link.
TEST(ReplacementFileTest, OnlyScratchFilesThatProveThemselvesOursAreRemovedAsLeftovers) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows scratch files are named from the start; none is removed as left";
#else
    ScopedTempDir dir;
    ScratchFile left = CreateScratchFile("data.tmp", ScratchName::Fresh, ScratchAccess::OwnerOnly);
    ASSERT_TRUE(left.status.IsOk());
    ASSERT_TRUE(NameScratchFile(left).IsOk());
    const std::string leftName = left.name.string();
    ASSERT_EQ(leftName.rfind("data.tmp.trekline-", 0), 0u) << leftName;
    left.file = FileHandle();

    WriteFileBytes("data.tmp.trekline-1", kOld); // not the inode it names
    ScratchFile linked =
        CreateScratchFile("data.tmp", ScratchName::Fresh, ScratchAccess::OwnerOnly);
    ASSERT_TRUE(NameScratchFile(linked).IsOk());
    fs::create_hard_link(linked.name, "kept-link");
    fs::create_symlink("kept-link", "data.tmp.trekline-2");

    RemoveLeftScratchFiles("data.tmp");
    EXPECT_FALSE(fs::exists(leftName));
    EXPECT_TRUE(fs::exists("data.tmp.trekline-1"));
    EXPECT_TRUE(fs::exists(linked.name));
    EXPECT_TRUE(fs::is_symlink("data.tmp.trekline-2"));
    EXPECT_EQ(ReadFileBytes("data.tmp.trekline-1"), kOld);
#endif
}
