// Drives the real program from outside with xdotool, as a user would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "StepRecord.h"
#include "TempDir.h"
#include "TestDiary.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 20s;

std::string Xdotool(const std::string& arguments) {
    std::string output;
    if (std::FILE* pipe =
            popen(("timeout 20 xdotool " + arguments + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

bool WaitUntil(const std::function<bool()>& done) {
    for (auto deadline = std::chrono::steady_clock::now() + kPatience;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(20ms)) {
        if (done())
            return true;
    }
    return done();
}

std::uintmax_t FileSize(const char* name) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(name, error);
    return error ? 0 : size;
}

// The program, started in the current directory with these arguments and
// extra environment entries ("NAME=value"); killed if a test leaves it running.
class RunningProgram {
public:
    explicit RunningProgram(std::vector<std::string> arguments = {},
                            const std::vector<std::string>& environment = {}) {
        arguments.insert(arguments.begin(), TREKLINE_PROGRAM);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<std::string> entries(environment);
        std::vector<char*> envp;
        for (std::string& entry : entries)
            envp.push_back(entry.data());
        for (char** entry = environ; *entry; ++entry)
            envp.push_back(*entry);
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, TREKLINE_PROGRAM, nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
    }
    ~RunningProgram() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // The main window's X id, once it is shown; empty if it never is.
    std::string WaitForWindow() {
        std::string id = Xdotool("search --sync --onlyvisible --pid " + std::to_string(pid_) +
                                 " --name '^Trekline from '");
        return id.substr(0, id.find('\n'));
    }

    bool HasExited() {
        if (!exited_ && waitpid(pid_, &status_, WNOHANG) == pid_)
            exited_ = true;
        return exited_;
    }
    int ExitStatus() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
};

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
    ASSERT_TRUE(WaitUntil([] { return FileSize("data.steps") == 48; }));
    EXPECT_FALSE(program.HasExited());
    std::vector<unsigned char> added = DiaryBytes({DiaryEntry(12, 2006, 5, 5, 2, 5)});
    diary.insert(diary.end(), added.begin(), added.end());
    EXPECT_EQ(ReadFileBytes("data.steps"), diary);

    // Enter in the steps edit ends the program without adding anything.
    Xdotool("key shift+Tab Return");
    ASSERT_TRUE(WaitUntil([&] { return program.HasExited(); }));
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
