// Two Trekline windows on one diary, driven from outside with real input and
// read through the accessibility tree, as a user and a screen reader would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <signal.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "AccessibleTree.h"
#include "RunningProgram.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

using namespace std::chrono_literals;

const StepRecord kFirst = DiaryEntry(1000, 2024, 5, 1, 1, 3);
const StepRecord kSecond = DiaryEntry(2000, 2024, 5, 2, 2, 4);
const StepRecord kThird = DiaryEntry(3000, 2024, 5, 3, 3, 5);
const StepRecord kAdded = DiaryEntry(9999, 2024, 4, 15, 3, 1);

std::optional<Accessible> Find(const std::vector<Accessible>& tree, const std::string& role,
                               const std::string& name) {
    for (const Accessible& a : tree)
        if (a.role == role && a.name == name)
            return a;
    return std::nullopt;
}

// The edit on the line of the label, as a sighted user finds it.
std::optional<Accessible> EditBeside(const std::vector<Accessible>& tree,
                                     const std::string& label) {
    std::optional<Accessible> labelled = Find(tree, "label", label);
    std::optional<Accessible> edit;
    for (const Accessible& a : tree)
        if (labelled && a.role == "text" &&
            (!edit || std::abs(a.CentreY() - labelled->CentreY()) <
                          std::abs(edit->CentreY() - labelled->CentreY())))
            edit = a;
    return edit;
}

void ClickOn(const std::optional<Accessible>& target) {
    ASSERT_TRUE(target);
    Xdotool("mousemove --sync " + std::to_string(target->CentreX()) + " " +
            std::to_string(target->CentreY()) + " click 1");
}

bool AnyRowSelected(const std::vector<Accessible>& tree) {
    for (const Accessible& a : tree)
        if (a.role == "table cell" && a.selected)
            return true;
    return false;
}

// User and system time the process has used, in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::atol(field.c_str());
    return ticks;
}

// A window of the program, with what a screen reader last read of it.
struct Window {
    RunningProgram program;
    std::string id;
    std::vector<Accessible> tree;

    std::vector<std::string> Rows() {
        tree = AccessibleTree(program.Pid());
        return ListRows(tree);
    }
};

} // namespace

TEST(TwoWindowsTest, EachFollowsTheOtherAndDeleteRemovesOnlyWhatItsUserSaw) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    AccessibilityBus bus;
    ASSERT_TRUE(bus.IsUp());
    WriteDiary({kFirst, kSecond, kThird});
    const std::vector<std::string> may = {"Date: 2024.05.01, steps: 1000",
                                          "Date: 2024.05.02, steps: 2000",
                                          "Date: 2024.05.03, steps: 3000"};

    Window a, b;
    a.id = a.program.WaitForWindow();
    b.id = b.program.WaitForWindow();
    ASSERT_FALSE(a.id.empty());
    ASSERT_FALSE(b.id.empty());
    // Side by side, as a user would place them; a window that is just shown
    // may still be placing itself, so the move is made until it holds.
    for (Window* window : {&a, &b}) {
        const int x = window == &a ? 0 : 640;
        ASSERT_TRUE(WaitFor([&] {
            Xdotool("windowmove --sync " + window->id + " " + std::to_string(x) + " 0");
            const bool listed = window->Rows() == may;
            std::optional<Accessible> row = Find(window->tree, "table cell", may[2]);
            return listed && row && row->x >= x && row->x < x + 100;
        }));
    }

    // A's user selects 3 May. A is then held, so that it has not seen B's
    // change when its user presses Delete.
    Xdotool("windowfocus --sync " + a.id);
    ClickOn(Find(a.tree, "table cell", may[2]));
    ASSERT_TRUE(WaitFor([&] {
        a.Rows();
        std::optional<Accessible> row = Find(a.tree, "table cell", may[2]);
        return row && row->selected;
    }));
    const std::vector<Accessible> treeOfA = a.tree;
    kill(a.program.Pid(), SIGSTOP);

    // B deletes 3 May and adds 15 April, which takes identifier 3 again.
    Xdotool("windowfocus --sync " + b.id);
    ClickOn(Find(b.tree, "table cell", may[2]));
    ClickOn(Find(b.tree, "push button", "Delete"));
    ASSERT_TRUE(WaitFor([] {
        return ReadFileBytes("data.steps") == DiaryBytes({kFirst, kSecond});
    }));
    ClickOn(EditBeside(b.tree, "Date:"));
    Xdotool("key ctrl+a");
    Xdotool("type 04/15/2024");
    Xdotool("key Tab ctrl+a");
    Xdotool("type 9999");
    Xdotool("key Tab space");
    const std::vector<unsigned char> afterB = DiaryBytes({kFirst, kSecond, kAdded});
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes("data.steps") == afterB; }));

    // A's user presses Delete on the row of 3 May: B's entry is not removed.
    ClickOn(Find(treeOfA, "push button", "Delete"));
    kill(a.program.Pid(), SIGCONT);
    const std::vector<std::string> both = {"Date: 2024.04.15, steps: 9999", may[0], may[1]};
    EXPECT_TRUE(WaitFor([&] { return a.Rows() == both; }));
    EXPECT_EQ(b.Rows(), both);
    EXPECT_FALSE(AnyRowSelected(a.tree));
    EXPECT_EQ(ReadFileBytes("data.steps"), afterB);

    // An Add in B shows in A within a second, with no input to A.
    ClickOn(EditBeside(b.tree, "Number of steps:"));
    Xdotool("key ctrl+a");
    Xdotool("type 5");
    ClickOn(Find(b.tree, "push button", "Add"));
    ASSERT_TRUE(WaitFor([] { return std::filesystem::file_size("data.steps") == 96; }));
    const auto added = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitFor([&] { return a.Rows().size() == 4; }));
    EXPECT_LT(std::chrono::steady_clock::now() - added, 1s);
    EXPECT_EQ(a.Rows(), b.Rows());

    // Deleting the last row leaves none selected.
    Xdotool("windowfocus --sync " + a.id);
    ClickOn(Find(a.tree, "table cell", may[1]));
    ClickOn(Find(a.tree, "push button", "Delete"));
    ASSERT_TRUE(WaitFor([&] { return a.Rows().size() == 3; }));
    EXPECT_FALSE(AnyRowSelected(a.tree));
    EXPECT_TRUE(WaitFor([&] { return b.Rows() == a.Rows(); }));

    // Left alone, neither window uses the processor: nothing polls.
    const long before[] = {CpuTicks(a.program.Pid()), CpuTicks(b.program.Pid())};
    std::this_thread::sleep_for(10s);
    const long idleTicks =
        CpuTicks(a.program.Pid()) - before[0] + CpuTicks(b.program.Pid()) - before[1];
    EXPECT_LT(idleTicks, sysconf(_SC_CLK_TCK) / 5) << "clock ticks over 10 s of two idle windows";
}

// Window A's import does what its preview showed: B adds an entry on a date
// the preview listed as new, A's user then takes the file's entries for the
// conflicts shown, and B's entry stays.
TEST(TwoWindowsTest, AnImportChangesOnlyWhatItsPreviewShowed) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    AccessibilityBus bus;
    ASSERT_TRUE(bus.IsUp());
    WriteDiary({DiaryEntry(100, 2020, 1, 1, 1, 3)});
    const std::string offered = (std::filesystem::current_path() / "offered.csv").string();
    std::ofstream(offered) << "2020-01-01,5\n2020-01-05,9\n";

    Window a, b;
    a.id = a.program.WaitForWindow();
    b.id = b.program.WaitForWindow();
    ASSERT_FALSE(a.id.empty());
    ASSERT_FALSE(b.id.empty());
    Xdotool("windowmove --sync " + a.id + " 0 0");
    Xdotool("windowmove --sync " + b.id + " 640 0");
    ASSERT_TRUE(WaitFor([&] { return a.Rows().size() == 1 && b.Rows().size() == 1; }));

    Xdotool("windowfocus --sync " + a.id);
    Xdotool("key ctrl+i");
    // The file chooser takes a typed path.
    ASSERT_TRUE(WaitFor([&] {
        return Xdotool("search --pid " + std::to_string(a.program.Pid()) +
                       " --onlyvisible --name Import")
                   .find('\n') != std::string::npos;
    }));
    std::this_thread::sleep_for(500ms);
    Xdotool("type --delay 20 " + offered);
    Xdotool("key Return");
    std::optional<Accessible> useFile;
    ASSERT_TRUE(WaitFor([&] {
        useFile =
            Find(AccessibleTree(a.program.Pid()), "push button", "Use the file's for conflicts");
        return useFile.has_value();
    }));

    Xdotool("windowfocus --sync " + b.id);
    ClickOn(EditBeside(b.tree, "Date:"));
    Xdotool("key ctrl+a");
    Xdotool("type 2020-01-05");
    Xdotool("key Tab ctrl+a");
    Xdotool("type 7");
    Xdotool("key Tab space");
    ASSERT_TRUE(WaitFor([] { return std::filesystem::file_size("data.steps") == 48; }));

    ClickOn(useFile);
    ASSERT_TRUE(WaitFor([&] {
        return a.Rows() ==
               std::vector<std::string>{"Date: 2020.01.01, steps: 5", "Date: 2020.01.05, steps: 7"};
    }));
    EXPECT_TRUE(Find(a.tree, "notification",
                     "Imported offered.csv: added 0, unchanged 0, conflicts 1 replaced, 1 kept, "
                     "rejected 0."));
}
