// Several processes changing one diary at once, and processes killed in the
// middle of a change: no record may be lost, duplicated or half written.
#include "CStepFile.h"

#include <csignal>
#include <map>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestDiary.h"

namespace {

// Each worker appends records tagged with its number and sequence, and deletes
// every odd one again right away, often while the other worker is busy.
void RunWorker(std::uint32_t worker, int count) {
    for (int i = 0; i < count; ++i) {
        StepRecord r = DiaryEntry(worker * 100000 + static_cast<std::uint32_t>(i), 2006, 1, 1);
        std::uint32_t id;
        {
            CStepFile file(HereFiles());
            file.Append(r);
            if (!file.IsOk())
                _exit(1);
            id = r.identifier;
        }
        if (i % 2 == 1) {
            CStepFile file(HereFiles());
            file.DeleteById(id);
            if (!file.IsOk())
                _exit(2);
        }
    }
    _exit(0);
}

} // namespace

TEST(ConcurrentChangeTest, TwoProcessesAppendingAndDeletingKeepEveryRecordExactlyOnce) {
    ScopedTempDir dir;
    constexpr int kCount = 150;
    std::vector<pid_t> workers;
    for (std::uint32_t w = 1; w <= 2; ++w) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            RunWorker(w, kCount);
        workers.push_back(pid);
    }
    for (pid_t pid : workers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    CStepFile file(HereFiles());
    std::map<std::uint32_t, int> seen;
    std::vector<StepRecord> records = file.ReadAll();
    for (const StepRecord& r : records)
        ++seen[r.steps];
    for (std::uint32_t w = 1; w <= 2; ++w)
        for (int i = 0; i < kCount; ++i)
            EXPECT_EQ(seen[w * 100000 + static_cast<std::uint32_t>(i)], i % 2 == 0 ? 1 : 0)
                << "worker " << w << " record " << i;
    EXPECT_EQ(records.size(), static_cast<std::size_t>(kCount));
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_GT(records[i - 1].identifier, records[i].identifier);
}

TEST(ConcurrentChangeTest, AProcessKilledWhileDeletingLeavesTheOldOrTheNewDiary) {
    ScopedTempDir dir;
    // Large enough that a delete takes a while to write out.
    constexpr std::uint32_t kRecords = 20000;
    std::vector<StepRecord> records;
    for (std::uint32_t i = 1; i <= kRecords; ++i)
        records.push_back(DiaryEntry(i, 2006, 1, 1, i));
    const std::vector<unsigned char> original = DiaryBytes(records);
    WriteFileBytes("data.steps", original);

    std::minstd_rand random(42);
    for (int round = 0; round < 15; ++round) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::minstd_rand childRandom(static_cast<unsigned>(round));
            for (;;) {
                CStepFile file(HereFiles());
                file.DeleteById(static_cast<std::uint32_t>(1 + childRandom() % kRecords));
            }
        }
        usleep(static_cast<useconds_t>(2000 + random() % 30000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        // Whatever was deleted, the rest is the original records in their
        // order, whole.
        std::vector<unsigned char> now = ReadFileBytes("data.steps");
        ASSERT_EQ(now.size() % kStepRecordSize, 0u) << "round " << round;
        std::uint32_t previous = 0;
        for (std::size_t at = 0; at < now.size(); at += kStepRecordSize) {
            StepRecord r = DecodeStepRecord(&now[at]);
            ASSERT_EQ(r.steps, r.identifier);
            ASSERT_GT(r.identifier, previous);
            previous = r.identifier;
        }
    }
}
