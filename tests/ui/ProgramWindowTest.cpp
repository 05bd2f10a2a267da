// Drives the real program from outside with xdotool, as a user would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "RunningProgram.h"
#include "StepRecord.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

std::uintmax_t FileSize(const char* name) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(name, error);
    return error ? 0 : size;
}

} // namespace

TEST(ProgramWindowTest, KeysAddAnEntryEscapeKeepsTheWindowAndEnterEndsItWithStatusZero) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    std::vector<unsigned char> diary = DiaryBytes({DiaryEntry(950, 2006, 4, 3, 1, 1)});
    WriteFileBytes("data.steps", diary);

    RunningProgram program;
    const std::string window = program.WaitForWindow();
    ASSERT_FALSE(window.empty());
    Xdotool("windowfocus --sync " + window);

    Xdotool("key Escape");
    // Focus starts in the date picker; the steps edit and Add follow it.
    Xdotool("key ctrl+a");
    Xdotool("type 05/05/2006");
    Xdotool("key Tab ctrl+a");
    Xdotool("type 12");
    Xdotool("key Tab space");
    ASSERT_TRUE(WaitFor([] { return FileSize("data.steps") == 48; }));
    EXPECT_FALSE(program.HasExited());
    std::vector<unsigned char> added = DiaryBytes({DiaryEntry(12, 2006, 5, 5, 2, 5)});
    diary.insert(diary.end(), added.begin(), added.end());
    EXPECT_EQ(ReadFileBytes("data.steps"), diary);

    // Enter in the steps edit ends the program without adding anything.
    Xdotool("key shift+Tab Return");
    ASSERT_TRUE(WaitFor([&] { return program.HasExited(); }));
    EXPECT_EQ(program.ExitStatus(), 0);
    EXPECT_EQ(ReadFileBytes("data.steps"), diary);
    EXPECT_FALSE(std::filesystem::exists("data.tmp"));
}

TEST(ProgramWindowTest, FromTheMenuTheDiaryIsMadeInTheDataDirectoryNotTheCurrentOne) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    std::filesystem::create_directory("work");
    std::filesystem::current_path("work");
    const std::string dataHome = (dir.Path() / "data").string();

    RunningProgram program({"--data-home"}, {"XDG_DATA_HOME=" + dataHome});
    ASSERT_FALSE(program.WaitForWindow().empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(dataHome + "/trekline/data.steps"));
    EXPECT_TRUE(DirectoryNames(".").empty());
}

TEST(ProgramWindowTest, ADiaryLargerThanAnyOpensTheWindowAndIsLeftUnread) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    // 20 GB, sparse: it takes no room on disk.
    const std::uintmax_t size = std::uintmax_t{20} << 30;
    WriteFileBytes("data.steps", {});
    std::filesystem::resize_file("data.steps", size);

    RunningProgram program;
    ASSERT_FALSE(program.WaitForWindow().empty());
    EXPECT_FALSE(program.HasExited());
    EXPECT_EQ(FileSize("data.steps"), size);
    EXPECT_FALSE(std::filesystem::exists("data.tmp"));
}
