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

TEST(ProgramWindowTest, EnterAddsFromEitherFieldTheDeleteKeyTakesOutTheSelectedRowNoKeyEndsIt) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    std::vector<StepRecord> entries = {DiaryEntry(950, 2006, 4, 3, 1, 1)};
    WriteDiary(entries);
    const auto hasEntries = [](std::size_t count) {
        return WaitFor([count] { return FileSize("data.steps") == count * kStepRecordSize; });
    };

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
    ASSERT_TRUE(hasEntries(2));
    entries.push_back(DiaryEntry(12, 2006, 5, 5, 2, 5));

    // Enter in the steps edit adds the typed count.
    Xdotool("key shift+Tab ctrl+a");
    Xdotool("type 34");
    Xdotool("key Return");
    ASSERT_TRUE(hasEntries(3));
    entries.push_back(DiaryEntry(34, 2006, 5, 5, 3, 5));
    // So does Enter in the date field.
    Xdotool("key shift+Tab ctrl+a");
    Xdotool("type 05/06/2006");
    Xdotool("key Return");
    ASSERT_TRUE(hasEntries(4));
    EXPECT_EQ(ReadFileBytes("data.steps"),
              DiaryBytes({entries[0], entries[1], entries[2], DiaryEntry(34, 2006, 5, 6, 4, 6)}));

    // The Add selected its entry; the Delete key in the list takes it out.
    Xdotool("key Tab Tab Tab Delete");
    ASSERT_TRUE(hasEntries(3));
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes(entries));
    EXPECT_FALSE(program.HasExited());
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
