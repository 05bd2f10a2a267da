// Edit, undo and redo in the real window, with real keys: the diary's bytes
// after each, and another process's entries never touched.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "AccessibleTree.h"
#include "DiaryCommands.h"
#include "RunningProgram.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

const std::vector<StepRecord> kDiary = {DiaryEntry(1000, 2024, 5, 1, 1, 3),
                                        DiaryEntry(2000, 2024, 5, 2, 2, 4),
                                        DiaryEntry(3000, 2024, 5, 3, 3, 5)};

bool DiaryIs(const Bytes& bytes) {
    return ReadFileBytes("data.steps") == bytes;
}

// The program's window with its list read by a screen reader.
struct Window {
    RunningProgram program;
    std::string id = program.WaitForWindow();

    std::vector<Accessible> Tree() { return AccessibleTree(program.Pid()); }

    // Clicks what a screen reader finds with that role and name.
    bool Click(const std::string& role, const std::string& name) {
        for (const Accessible& a : Tree())
            if (a.role == role && a.name == name) {
                Xdotool("mousemove --sync " + std::to_string(a.CentreX()) + " " +
                        std::to_string(a.CentreY()) + " click 1");
                return true;
            }
        return false;
    }
    void Select(const std::string& row) { EXPECT_TRUE(Click("table cell", row)) << row; }

    bool Shows(const std::string& name) {
        return Xdotool("search --pid " + std::to_string(program.Pid()) + " --onlyvisible --name '" +
                       name + "'")
                   .find('\n') != std::string::npos;
    }
};

} // namespace

TEST(UndoWindowTest, EditDeleteAddAndImportAreUndoneAndRedoneByteForByte) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    AccessibilityBus bus;
    ASSERT_TRUE(bus.IsUp());
    WriteDiary(kDiary);
    const Bytes original = ReadFileBytes("data.steps");
    Window window;
    ASSERT_FALSE(window.id.empty());
    Xdotool("windowfocus --sync " + window.id);
    ASSERT_TRUE(WaitFor([&] { return ListRows(window.Tree()).size() == 3; }));

    // F2, a new count and Enter: the record's 4 count bytes change, no others.
    window.Select("Date: 2024.05.02, steps: 2000");
    Xdotool("key F2");
    ASSERT_TRUE(WaitFor([&] { return window.Shows("Edit Entry"); }));
    // A screen reader reads each field by its label; the main window has a
    // field named "Date:" too.
    EXPECT_TRUE(WaitFor([&] {
        int steps = 0, dates = 0;
        for (const Accessible& a : window.Tree()) {
            steps += a.role == "text" && a.name == "Steps:";
            dates += a.role == "text" && a.name == "Date:";
        }
        return steps == 1 && dates == 2;
    }));
    std::this_thread::sleep_for(300ms);
    Xdotool("type 2500");
    Xdotool("key Return");
    Bytes edited = original;
    edited[24] = 2500 % 256;
    edited[25] = 2500 / 256;
    ASSERT_TRUE(WaitFor([&] { return DiaryIs(edited); }));

    // Each command, then Ctrl+Z, Ctrl+Y, Ctrl+Z and Ctrl+Shift+Z.
    const auto undoRedo = [&](const Bytes& before, const char* what) {
        const Bytes after = ReadFileBytes("data.steps");
        ASSERT_NE(after, before) << what;
        Xdotool("windowfocus --sync " + window.id);
        for (const char* keys : {"ctrl+z", "ctrl+y", "ctrl+z", "ctrl+shift+z"}) {
            Xdotool(std::string("key ") + keys);
            const bool undo = std::string(keys) == "ctrl+z";
            EXPECT_TRUE(WaitFor([&] { return DiaryIs(undo ? before : after); }))
                << what << " after " << keys;
        }
    };
    undoRedo(original, "edit");

    window.Select("Date: 2024.05.03, steps: 3000");
    Xdotool("key alt+e");
    const Bytes beforeDelete = edited;
    ASSERT_TRUE(WaitFor([] { return std::filesystem::file_size("data.steps") == 48; }));
    undoRedo(beforeDelete, "delete");

    const Bytes beforeAdd = ReadFileBytes("data.steps");
    Xdotool("key alt+n ctrl+a");
    Xdotool("type 4321");
    Xdotool("key alt+a");
    ASSERT_TRUE(WaitFor([&] { return !DiaryIs(beforeAdd); }));
    undoRedo(beforeAdd, "add");

    const Bytes beforeImport = ReadFileBytes("data.steps");
    const std::string offered = (std::filesystem::current_path() / "offered.csv").string();
    std::ofstream(offered) << "2024-05-01,5\n2024-06-01,9\n";
    Xdotool("key ctrl+i");
    ASSERT_TRUE(WaitFor([&] { return window.Shows("Import"); }));
    std::this_thread::sleep_for(500ms);
    Xdotool("type --delay 20 " + offered);
    Xdotool("key Return");
    ASSERT_TRUE(WaitFor([&] { return window.Click("push button", "Import"); }));
    ASSERT_TRUE(WaitFor([&] { return !DiaryIs(beforeImport); }));
    undoRedo(beforeImport, "import");
}

// Another process adds between the window's Add and its undo: the entry the
// window added goes alone, and the other process's entry stays.
TEST(UndoWindowTest, AnotherProcesssEntrySurvivesTheUndo) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    ScopedTempDir dir;
    WriteDiary(kDiary);
    Window window;
    ASSERT_FALSE(window.id.empty());
    Xdotool("windowfocus --sync " + window.id);
    Xdotool("key alt+n ctrl+a");
    Xdotool("type 4321");
    Xdotool("key alt+a");
    ASSERT_TRUE(WaitFor([] { return std::filesystem::file_size("data.steps") == 96; }));

    // This test is the other process.
    ASSERT_TRUE(
        AddEntry(HereFiles(), 555, std::chrono::year_month_day(std::chrono::year(2024) / 6 / 2)));
    Bytes theirs = DiaryBytes(kDiary);
    const Bytes extra = DiaryBytes({DiaryEntry(555, 2024, 6, 2, 5, 0)});
    theirs.insert(theirs.end(), extra.begin(), extra.end());
    Xdotool("key ctrl+z");
    EXPECT_TRUE(WaitFor([&] { return DiaryIs(theirs); }));
}
