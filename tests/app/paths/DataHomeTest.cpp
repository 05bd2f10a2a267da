#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "DataHome.h"
#include "TempDir.h"

namespace fs = std::filesystem;

// Windows finds no path through a file rather than a file in the way.
#ifdef _WIN32
const std::string kFileInTheWay = " cannot be created (No such file or directory)";
#else
const std::string kFileInTheWay = " cannot be created (Not a directory)";
#endif

TEST(DataHomeTest, FollowsAnAbsoluteXdgDataHomeElseTheHomeDirectory) {
    struct Case {
        const char* xdgDataHome;
        const char* home;
        const char* directory;
    };
    const Case cases[] = {
        {"/data", "/home/walker", "/data/trekline"},
        {nullptr, "/home/walker", "/home/walker/.local/share/trekline"},
        {"", "/home/walker", "/home/walker/.local/share/trekline"},
        // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
        {"data", "/home/walker", "/home/walker/.local/share/trekline"},
        {nullptr, "home", ""},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataHomeDirectory(c.xdgDataHome, c.home), fs::path(c.directory))
            << (c.xdgDataHome ? c.xdgDataHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
}

TEST(DataHomeTest, MakesTheMissingDirectoriesPrivateAndKeepsExistingOnes) {
    ScopedTempDir dir;
    const fs::path home = dir.Path() / "share" / "trekline";
    EXPECT_EQ(MakeDataHome(home), std::nullopt);
    // A Windows folder is private by the access it inherits, not by mode bits.
#ifdef _WIN32
    EXPECT_TRUE(fs::is_directory(home));
#else
    struct stat status {};
    ASSERT_EQ(stat(home.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(home.parent_path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
#endif
    // A second start finds it made.
    EXPECT_EQ(MakeDataHome(home), std::nullopt);
}

TEST(DataHomeTest, SaysWhyTheDirectoryCannotBeMade) {
    ScopedTempDir dir;
    WriteFileBytes("share", {'x'});
    EXPECT_EQ(MakeDataHome(dir.Path() / "share" / "trekline"),
              (dir.Path() / "share" / "trekline").string() + kFileInTheWay);
    WriteFileBytes("trekline", {'x'});
    EXPECT_EQ(MakeDataHome(dir.Path() / "trekline"),
              (dir.Path() / "trekline").string() + " is not a directory");
    EXPECT_NE(MakeDataHome({}), std::nullopt);
}

// The command line and the window find a run's diary directory alike: the
// data home made, or the directory they were started in.
TEST(DataHomeTest, ARunKeepsItsDiaryInTheDataHomeMadeOrWhereItStarted) {
    ScopedTempDir dir;
#ifdef _WIN32
    // The user's local application data, whatever the environment says.
    {
        const DiaryDirectory home = FindDiaryDirectory(true);
        EXPECT_EQ(home.path.filename(), "Trekline");
        EXPECT_EQ(home.path.parent_path().filename(), "Local");
        EXPECT_TRUE(home.problem.empty()) << home.problem;
        EXPECT_TRUE(fs::is_directory(home.path));
    }
#else
    {
        ScopedVariable data("XDG_DATA_HOME", (dir.Path() / "data").string());
        const DiaryDirectory home = FindDiaryDirectory(true);
        EXPECT_EQ(home.path, dir.Path() / "data" / "trekline");
        EXPECT_TRUE(home.problem.empty()) << home.problem;
        EXPECT_TRUE(fs::is_directory(home.path));
    }
    {
        WriteFileBytes("blocked", {});
        ScopedVariable blocked("XDG_DATA_HOME", (dir.Path() / "blocked").string());
        EXPECT_EQ(FindDiaryDirectory(true).problem,
                  (dir.Path() / "blocked" / "trekline").string() +
                      kFileInTheWay);
    }
#endif

    const DiaryDirectory here = FindDiaryDirectory(false);
    EXPECT_EQ(here.path, fs::current_path());
    EXPECT_TRUE(here.problem.empty());
}
