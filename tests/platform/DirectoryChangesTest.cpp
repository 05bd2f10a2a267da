#include "DirectoryChanges.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "TempDir.h"

namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::atomic<int>& calls, int atLeast) {
    for (auto waited = 0ms; waited < 5s; waited += 10ms) {
        if (calls >= atLeast)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

void Write(const std::filesystem::path& file, const char* text) {
    std::ofstream(file, std::ios::binary) << text;
}

} // namespace

// The diary is written beside itself and renamed over, appended to, or
// removed: each is heard, and nothing once the watch is over.
TEST(DirectoryChangesTest, ReplacingAppendingAndRemovingAreHeardUntilTheWatchEnds) {
    ScopedTempDir dir;
    Write(dir.Path() / "data.steps", "old");
    std::atomic<int> calls = 0;
    auto changes = DirectoryChanges::Watch(dir.Path(), [&calls] { ++calls; });
    ASSERT_NE(changes, nullptr);

    Write(dir.Path() / "data.tmp", "new");
    std::filesystem::rename(dir.Path() / "data.tmp", dir.Path() / "data.steps");
    EXPECT_TRUE(WaitFor(calls, 1)) << "replaced";
    const int afterReplace = calls;
    std::ofstream(dir.Path() / "data.steps", std::ios::binary | std::ios::app) << "more";
    EXPECT_TRUE(WaitFor(calls, afterReplace + 1)) << "appended";
    const int afterAppend = calls;
    std::filesystem::remove(dir.Path() / "data.steps");
    EXPECT_TRUE(WaitFor(calls, afterAppend + 1)) << "removed";

    changes.reset();
    const int atEnd = calls;
    Write(dir.Path() / "data.steps", "after");
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(calls, atEnd);
}

TEST(DirectoryChangesTest, AMissingDirectoryIsNotWatched) {
    ScopedTempDir dir;
    EXPECT_EQ(DirectoryChanges::Watch(dir.Path() / "missing", [] {}), nullptr);
}
