// Two processes appending and deleting at once, both killed at random points
// over and over: every record whose append was acknowledged is in the diary
// exactly once unless its delete was acknowledged too, and nothing else is.
#include "CStepFile.h"

#include <csignal>
#include <fcntl.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestDiary.h"

namespace {

// One line per step, written with a single write to a file of the worker's
// own before the step starts ("a"/"d") and after it returned ("A"/"D"), so
// the log survives the kill and tells which steps were acknowledged.
void Log(int fd, char what, std::uint32_t tag, std::uint32_t id = 0) {
    std::string line =
        std::string(1, what) + " " + std::to_string(tag) + " " + std::to_string(id) + "\n";
    if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        _exit(3);
}

[[noreturn]] void RunWorker(std::uint32_t firstTag, unsigned seed) {
    const std::string logName = "worker-" + std::to_string(firstTag) + ".log";
    int log = ::open(logName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    std::minstd_rand random(seed);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> live; // tag, identifier
    for (std::uint32_t tag = firstTag;; ++tag) {
        if (!live.empty() && random() % 3 == 0) {
            std::size_t pick = random() % live.size();
            auto [victim, id] = live[pick];
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
            Log(log, 'd', victim, id);
            CStepFile file(HereFiles());
            file.DeleteById(id);
            if (!file.IsOk())
                _exit(2);
            Log(log, 'D', victim, id);
            continue;
        }
        StepRecord r;
        r.steps = tag;
        r.year = 2006;
        r.month = 1;
        r.day = 1;
        Log(log, 'a', tag);
        CStepFile file(HereFiles());
        file.Append(r);
        if (!file.IsOk())
            _exit(1);
        Log(log, 'A', tag, r.identifier);
        live.emplace_back(tag, r.identifier);
    }
}

struct Fate {
    bool started = false;  // append begun
    bool appended = false; // append acknowledged
    bool deleting = false; // delete begun
    bool deleted = false;  // delete acknowledged
};

void ReadLog(const std::string& name, std::map<std::uint32_t, Fate>& fates) {
    std::vector<unsigned char> bytes = ReadFileBytes(name);
    std::string text(bytes.begin(), bytes.end());
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        ASSERT_NE(end, std::string::npos) << "torn log line in " << name;
        char what = text[at];
        std::uint32_t tag =
            static_cast<std::uint32_t>(std::stoul(text.substr(at + 2, end - at - 2)));
        Fate& fate = fates[tag];
        fate.started |= what == 'a';
        fate.appended |= what == 'A';
        fate.deleting |= what == 'd';
        fate.deleted |= what == 'D';
        at = end + 1;
    }
}

} // namespace

TEST(KilledWritersTest, ProcessesKilledWhileAppendingAndDeletingNeverLoseOrDuplicateARecord) {
    ScopedTempDir dir;
    std::minstd_rand random(2006);
    constexpr int kRounds = 40;
    int kills = 0;
    std::set<std::string> logs;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<pid_t> workers;
        for (std::uint32_t w = 0; w < 2; ++w) {
            // Tags never repeat across workers and rounds.
            const std::uint32_t firstTag = (static_cast<std::uint32_t>(round) * 2 + w + 1) * 100000;
            logs.insert("worker-" + std::to_string(firstTag) + ".log");
            pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0)
                RunWorker(firstTag, static_cast<unsigned>(round * 2 + w));
            workers.push_back(pid);
        }
        // Kill each at its own random moment, one while the other still runs.
        for (pid_t pid : workers) {
            usleep(static_cast<useconds_t>(1000 + random() % 40000));
            kill(pid, SIGKILL);
        }
        for (pid_t pid : workers) {
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status)) << "a worker failed with " << WEXITSTATUS(status);
            ++kills;
        }

        std::map<std::uint32_t, Fate> fates;
        for (const std::string& log : logs)
            ReadLog(log, fates);
        std::vector<unsigned char> now = ReadFileBytes("data.steps");
        ASSERT_EQ(now.size() % kStepRecordSize, 0u) << "round " << round;
        std::map<std::uint32_t, int> seen;
        std::uint32_t previousId = 0;
        for (std::size_t at = 0; at < now.size(); at += kStepRecordSize) {
            StepRecord r = DecodeStepRecord(&now[at]);
            ++seen[r.steps];
            ASSERT_GT(r.identifier, previousId) << "round " << round;
            previousId = r.identifier;
        }
        for (const auto& [tag, fate] : fates) {
            const int count = seen.count(tag) ? seen[tag] : 0;
            ASSERT_LE(count, 1) << "record " << tag << " duplicated, round " << round;
            if (fate.appended && !fate.deleting) {
                ASSERT_EQ(count, 1) << "acknowledged record " << tag << " lost, round " << round;
            }
            if (fate.deleted) {
                ASSERT_EQ(count, 0) << "deleted record " << tag << " back, round " << round;
            }
        }
        for (const auto& [tag, count] : seen)
            ASSERT_TRUE(fates.count(tag) && fates[tag].started)
                << "record " << tag << " from nowhere";
    }
    std::printf("[ kills    ] %d processes killed while changing the diary, %zu records kept\n",
                kills, ReadFileBytes("data.steps").size() / kStepRecordSize);
}

// A rewrite killed while it copies the diary leaves no scratch copy behind
// once the next change has run, and no name the program did not make is
// touched.
TEST(KilledWritersTest, RewritesKilledWhileCopyingLeaveOnlyTheDiary) {
    ScopedTempDir dir;
    std::vector<StepRecord> records;
    for (std::uint32_t i = 1; i <= 200000; ++i)
        records.push_back(DiaryEntry(i, 2006, 1, 1, i));
    WriteDiary(records);
    WriteFileBytes("data.tmp.someone", {1, 2, 3});
    std::minstd_rand random(24);
    for (int kill = 0; kill < 8; ++kill) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            CStepFile file(HereFiles());
            file.Rewrite([&](const std::vector<PlacedRecord>&) {
                // The plan is made under the lock; the copy starts next.
                if (::write(ready[1], "r", 1) != 1)
                    _exit(3);
                return DiaryEdit{{}, {DiaryEntry(7, 2020, 1, 1)}};
            });
            _exit(0);
        }
        char byte;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        usleep(static_cast<useconds_t>(random() % 2000));
        ::kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    CStepFile file(HereFiles());
    ASSERT_TRUE(file.Rewrite([](const std::vector<PlacedRecord>&) {
        return DiaryEdit{{}, {DiaryEntry(8, 2020, 1, 2)}};
    }));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"data.steps", "data.tmp.someone"}));
}
