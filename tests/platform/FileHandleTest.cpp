// An open file of ours: reads that run past its end, and the lock on the
// changes to a path that a rename may have given another file.
#include "FileHandle.h"

#include <cerrno>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "FileLock.h"
#include "TempDir.h"
#include "Wine.h"

namespace fs = std::filesystem;

namespace {

const std::vector<unsigned char> kBytes = {'0', '1', '2', '3', '4', '5', '6', '7'};

FileHandle OpenHere(const char* name) {
    OpenedFile opened = OpenRegularFile(name, OpenMode::ReadWriteCreating);
    EXPECT_TRUE(opened.status) << opened.status.Describe();
    return std::move(opened.file);
}

} // namespace

TEST(FileHandleTest, AReadThatTheFileEndsBeforeFailsAndSaysSo) {
    struct Case {
        std::uint64_t offset;
        std::size_t count;
        bool ok;
    };
    const Case cases[] = {{0, 8, true}, {4, 4, true}, {8, 0, true}, {4, 5, false}, {9, 1, false}};
    ScopedTempDir dir;
    WriteFileBytes("data.steps", kBytes);
    const FileHandle file = OpenHere("data.steps");
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes(c.count);
        const FileStatus read = file.ReadAt(bytes, c.offset, "data.steps");
        EXPECT_EQ(read.IsOk(), c.ok) << c.offset << "+" << c.count;
        if (c.ok) {
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), kBytes.begin() + c.offset));
        } else {
            EXPECT_EQ(read.Call(), "read (file ended early)");
            EXPECT_EQ(read.Error(), EIO);
        }
    }
}

TEST(FileHandleTest, AReadUpToTheEndTellsHowManyBytesItGot) {
    // The offset, the bytes asked for, the bytes got.
    const std::uint64_t cases[][3] = {{0, 8, 8}, {4, 8, 4}, {8, 1, 0}, {9, 1, 0}};
    ScopedTempDir dir;
    WriteFileBytes("data.steps", kBytes);
    const FileHandle file = OpenHere("data.steps");
    for (const auto& [offset, asked, got] : cases) {
        std::vector<std::uint8_t> bytes(asked);
        const ByteCount read = file.ReadUpTo(bytes, offset, "data.steps");
        EXPECT_TRUE(read.status) << offset << "+" << asked;
        EXPECT_EQ(read.bytes, got) << offset << "+" << asked;
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + got, kBytes.begin() + offset));
    }
}

TEST(FileHandleTest, WritesTruncatesAndTellsLengthAndIdentity) {
    ScopedTempDir dir;
    FileHandle file = OpenHere("data.steps");
    ASSERT_TRUE(file.WriteAt(std::span(kBytes.data(), kBytes.size()), 2, "data.steps"));
    const ByteCount length = file.Length("data.steps");
    ASSERT_TRUE(length.status);
    EXPECT_EQ(length.bytes, 10u);
    ASSERT_TRUE(file.Truncate(4, "data.steps"));
    ASSERT_TRUE(file.Sync("data.steps"));
    const std::optional<FileIdentity> identity = file.Identity();
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->Size(), 4u);
    EXPECT_EQ(identity, IdentityOf("data.steps"));
    EXPECT_EQ(ReadFileBytes("data.steps"), (std::vector<unsigned char>{0, 0, '0', '1'}));
    EXPECT_TRUE(file.Close("data.steps"));
    EXPECT_FALSE(file.IsOpen());
}

TEST(FileLockTest, TellsWhetherThePathStillNamesTheLockedFile) {
    if (FileLock::kApartFromFile)
        GTEST_SKIP() << "the lock is on the path, and its holder opens the file under it";
    struct Case {
        const char* what;
        std::function<void()> change;
        bool names;
    };
    const Case cases[] = {
        {"nothing changed", [] {}, true},
        {"appended to", [] { WriteFileBytes("data.steps", kBytes); }, true},
        // Moved aside first: Wine renames over no file that is open.
        {"replaced by a rename",
         [] {
             WriteFileBytes("data.tmp", kBytes);
             fs::rename("data.steps", "data.old");
             fs::rename("data.tmp", "data.steps");
         },
         false},
        {"removed", [] { fs::remove("data.steps"); }, false},
    };
    for (const Case& c : cases) {
        // Wine removes an open file only once it is closed.
        if (RunsUnderWine() && std::string(c.what) == "removed")
            continue;
        ScopedTempDir dir;
        const FileHandle file = OpenHere("data.steps");
        c.change();
        const FileLock lock(file, FileLock::Kind::Exclusive, "data.steps");
        ASSERT_TRUE(lock.Status()) << c.what;
        EXPECT_EQ(lock.NamesLockedFile(), c.names) << c.what;
    }
}

TEST(FileIdentityTest, OneFileInAnyStateIsTheSameFileAndAReplacementIsNot) {
    ScopedTempDir dir;
    WriteFileBytes("data.steps", kBytes);
    const std::optional<FileIdentity> first = IdentityOf("data.steps");
    WriteFileBytes("data.steps", {'x'});
    const std::optional<FileIdentity> rewritten = IdentityOf("data.steps");
    WriteFileBytes("data.tmp", kBytes);
    fs::rename("data.tmp", "data.steps");
    const std::optional<FileIdentity> replaced = IdentityOf("data.steps");
    ASSERT_TRUE(first && rewritten && replaced);
    EXPECT_NE(first, rewritten);
    EXPECT_TRUE(first->IsSameFile(*rewritten));
    EXPECT_FALSE(first->IsSameFile(*replaced));
    EXPECT_EQ(rewritten->Size(), 1u);
}
