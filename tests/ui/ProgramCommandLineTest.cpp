// The real program's command line, run without a display as from a script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the program with `arguments` in ./work, with a home of its own in
// ./home and no display; its output is kept outside both.
ProgramRun RunWithoutDisplay(const std::string& arguments) {
    fs::create_directories("work");
    fs::create_directories("home");
    const std::string command = "cd work && env -i PATH=/usr/bin:/bin HOME=\"$PWD/../home\" " +
                                std::string(TREKLINE_PROGRAM) + " " + arguments +
                                " >../out 2>../err </dev/null";
    ProgramRun run;
    const int result = std::system(command.c_str());
    run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    run.out = ReadText("out");
    run.err = ReadText("err");
    return run;
}

} // namespace

TEST(ProgramCommandLineTest, AnswersWithoutADisplayAndTouchesNoFile) {
    struct Case {
        const char* arguments;
        int status;
        const char* out; // in part; empty for none at all
        const char* err;
    };
    const Case cases[] = {
        {"--help", 0, "Usage: trekline", ""},
        {"-h", 0, "Usage: trekline", ""},
        {"--version", 0, "trekline " TREKLINE_VERSION "\n", ""},
        {"--data-home --help", 0, "Usage: trekline", ""},
        {"--fast", 2, "", "trekline: unknown option '--fast'"},
        {"data.steps", 2, "", "trekline: unexpected argument 'data.steps'"},
    };
    for (const Case& c : cases) {
        ScopedTempDir dir;
        const ProgramRun run = RunWithoutDisplay(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.out.empty(), *c.out == '\0') << c.arguments << ": " << run.out;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.arguments << ": " << run.out;
        EXPECT_EQ(run.err.empty(), *c.err == '\0') << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_TRUE(DirectoryNames("work").empty()) << c.arguments;
        EXPECT_TRUE(DirectoryNames("home").empty()) << c.arguments;
    }
}

TEST(ProgramCommandLineTest, WithoutADisplayTheWindowFailsWithStatusOne) {
    ScopedTempDir dir;
    const ProgramRun run = RunWithoutDisplay("");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");
    EXPECT_TRUE(DirectoryNames("work").empty());
}

TEST(ProgramCommandLineTest, ImportsAndExportsWithoutADisplay) {
    ScopedTempDir dir;
    fs::create_directories("work");
    const std::string csv = "date,steps\r\n2006-05-05,12\r\n";
    WriteFileBytes("work/in.csv", {csv.begin(), csv.end()});
    const ProgramRun imported = RunWithoutDisplay("--import in.csv");
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "added 1, unchanged 0, conflicts 0 kept, rejected 0\n");
    const ProgramRun exported = RunWithoutDisplay("--export-csv -");
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, csv);
    EXPECT_EQ(DirectoryNames("work"), (std::vector<std::string>{"data.steps", "in.csv"}));
}

TEST(ProgramCommandLineTest, TheSummaryTakesTheGoalFromTheUsersSettingsUnlessGivenOne) {
    struct Case {
        const char* settings; // trekline.conf's text; none when null
        const char* arguments;
        const char* goal;
    };
    const Case cases[] = {
        {nullptr, "", "\"goal\":10000"},
        {"DailyGoal=7500\n", "", "\"goal\":7500"},
        {"DailyGoal=7500\n", "--goal 9000", "\"goal\":9000"},
        {"DailyGoal=-5\n", "", "\"goal\":10000"},
        {"DailyGoal=0\n", "", "\"goal\":10000"},
        {"=\n[x\nDailyGoal\n", "", "\"goal\":10000"},
    };
    for (const Case& c : cases) {
        ScopedTempDir dir;
        fs::create_directories("home/.config");
        if (c.settings)
            WriteFileBytes("home/.config/trekline.conf",
                           {c.settings, c.settings + std::strlen(c.settings)});
        const ProgramRun run =
            RunWithoutDisplay(std::string("--summary --json --as-of 2006-05-05 ") + c.arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.goal), std::string::npos) << c.arguments << ": " << run.out;
        EXPECT_EQ(run.err, "");
    }
}
