// The command line's summary, run as the program runs it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "SummaryCommand.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// As main does: the answers without a window first, then the summary, with
// `remembered` as the goal the user's settings keep.
ProgramRun RunTrekline(const std::vector<const char*>& arguments,
                       std::uint32_t remembered = 10000) {
    const CommandLine line = ParseCommandLine(arguments);
    std::ostringstream out, err;
    std::optional<int> status = AnswerWithoutWindow(line, out, err);
    if (!status)
        status = RunSummaryCommand(
            line, [remembered] { return remembered; }, out, err);
    return {status.value_or(-1), out.str(), err.str()};
}

// Behind an end marker, a big day the figures must not see; then two
// entries on one day, today under the goal and a day after the as-of date.
void WriteSmallDiary() {
    StepRecord marker = DiaryEntry(0, 2026, 12, 1, 2);
    marker.steps = kEndMarker;
    WriteDiary({DiaryEntry(90000, 2026, 12, 1, 1), marker, DiaryEntry(12000, 2026, 12, 5, 3),
                DiaryEntry(10000, 2026, 12, 7, 4), DiaryEntry(6000, 2026, 12, 8, 5),
                DiaryEntry(5000, 2026, 12, 8, 6), DiaryEntry(4000, 2026, 12, 9, 7),
                DiaryEntry(50000, 2026, 12, 10, 8)});
}

} // namespace

TEST(SummaryCommandTest, JsonHoldsTheFiguresAsWorkedOutByHand) {
    ScopedTempDir dir;
    ScopedTimeZone zone(":Europe/Berlin");
    WriteSmallDiary();
    const ProgramRun run = RunTrekline({"--summary", "--as-of", "2026-12-09", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, R"({"as_of":"2026-12-09","goal":10000,"today":{"steps":4000},)"
                       R"("week":{"from":"2026-12-07","steps":25000,"average":8333},)"
                       R"("month":{"from":"2026-12-01","steps":37000,"average":4111},)"
                       R"("year":{"from":"2026-01-01","steps":37000,"average":108},)"
                       R"("last_7_days":{"from":"2026-12-03","steps":37000,"average":5286},)"
                       R"("last_30_days":{"from":"2026-11-10","steps":37000,"average":1233},)"
                       R"("best_day":{"date":"2026-12-05","steps":12000},)"
                       R"("streak":{"current":2,"longest":2,"longest_from":"2026-12-07",)"
                       R"("longest_to":"2026-12-08"},"goal_days_last_30":3})"
                       "\n");
}

// Without --goal the goal the user's settings keep counts; --goal outranks it.
TEST(SummaryCommandTest, TheRememberedGoalCountsUnlessAGoalIsGiven) {
    ScopedTempDir dir;
    const char* goal = R"("goal":7,)";
    EXPECT_NE(RunTrekline({"--summary", "--json"}, 7).out.find(goal), std::string::npos);
    EXPECT_NE(RunTrekline({"--summary", "--json", "--goal=7"}, 1).out.find(goal),
              std::string::npos);
}

TEST(SummaryCommandTest, TextShowsTheSameFiguresForAPerson) {
    ScopedTempDir dir;
    WriteSmallDiary();
    EXPECT_EQ(RunTrekline({"--summary", "--as-of", "2026-12-09"}).out,
              "Steps as of 2026-12-09, daily goal 10,000\n"
              "\n"
              "                         steps         a day  since\n"
              "today                    4,000\n"
              "this week               25,000         8,333  2026-12-07\n"
              "this month              37,000         4,111  2026-12-01\n"
              "this year               37,000           108  2026-01-01\n"
              "last 7 days             37,000         5,286  2026-12-03\n"
              "last 30 days            37,000         1,233  2026-11-10\n"
              "\n"
              "Best day: 2026-12-05, 12,000 steps\n"
              "Goal met on 3 of the last 30 days\n"
              "Streak: 2 days now, longest 2 days (2026-12-07 to 2026-12-08)\n");
}

// As --export-csv does, a missing diary is made, empty: its figures are all 0.
TEST(SummaryCommandTest, AMissingDiaryIsMadeEmpty) {
    ScopedTempDir dir;
    const ProgramRun run = RunTrekline({"--summary", "--json", "--as-of", "2026-12-09"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(R"("best_day":null,"streak":{"current":0,"longest":0,)"
                           R"("longest_from":null,"longest_to":null},"goal_days_last_30":0})"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFileBytes("data.steps"), std::vector<unsigned char>{});
}

TEST(SummaryCommandTest, RefusalsEndWithStatusTwoAndTouchNothing) {
    ScopedTempDir dir;
    WriteSmallDiary();
    const std::vector<unsigned char> diary = ReadFileBytes("data.steps");
    const struct {
        std::vector<const char*> arguments;
        const char* mistake;
    } cases[] = {
        {{"--summary", "--as-of", "2025-02-30"}, "'2025-02-30' is not a date"},
        {{"--summary", "--as-of", "yesterday"}, "'yesterday' is not a date"},
        {{"--summary", "--goal", "0"}, "'0' is no daily goal"},
        {{"--summary", "--goal", "-5"}, "'-5' is no daily goal"},
        {{"--summary", "--goal", "4294967296"}, "'4294967296' is no daily goal"},
        {{"--summary", "--goal", "ten"}, "'ten' is no daily goal"},
        {{"--as-of", "2026-12-09"}, "'--as-of' goes with '--summary'"},
        {{"--goal", "5"}, "'--goal' goes with '--summary'"},
        {{"--json"}, "'--json' goes with '--summary'"},
        {{"--summary", "--export-csv", "-"}, "only one of '--import', '--export-csv' and"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunTrekline(c.arguments);
        EXPECT_EQ(run.status, 2) << c.mistake;
        EXPECT_TRUE(run.err.starts_with(std::string("trekline: ") + c.mistake)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(ReadFileBytes("data.steps"), diary);
    EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"data.steps"}));
}
