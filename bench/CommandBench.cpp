// Times every command of the diary without a window, at growing diary sizes,
// and prints a table: median time and peak memory of the process running it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "DiaryFixture.h"
#include "EditText.h"
#include "EntryDate.h"
#include "HtmlReport.h"
#include "ReplacementFile.h"
#include "StepReport.h"

namespace fs = std::filesystem;

namespace {

struct Measurement {
    double medianMs = 0;
    long peakKb = 0;
};

struct Command {
    const char* name;
    std::function<void()> run;
    // The least the command's work can cost: what it must read and write,
    // with the same calls to make it durable.
    std::function<void()> floor;
};

std::vector<unsigned char> FileBytes(const fs::path& path) {
    std::vector<unsigned char> bytes(fs::file_size(path));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::exit(1);
    std::fclose(file);
    return bytes;
}

void WriteDurably(const fs::path& path, const std::vector<unsigned char>& bytes) {
    ReplacementFile file(path.c_str());
    if (!file.Write(bytes) || !file.Commit())
        std::exit(1);
}

// The dialog has the list's identifiers at hand; the fixture's list order is
// its file order.
std::vector<std::uint32_t> ListedIdentifiers(std::uint32_t entries) {
    std::vector<std::uint32_t> ids(entries);
    std::iota(ids.begin(), ids.end(), 1u);
    return ids;
}

// Runs the command in a child process of its own, so that its peak memory is
// its own, on a fresh copy of the diary each round.
Measurement Measure(const std::function<void()>& run, const fs::path& diary, const fs::path& steps,
                    int rounds) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(1);
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<double> times;
        for (int i = 0; i < rounds; ++i) {
            fs::copy_file(diary, steps, fs::copy_options::overwrite_existing);
            auto start = std::chrono::steady_clock::now();
            run();
            auto stop = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        }
        std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        Measurement m{times[static_cast<std::size_t>(rounds / 2)], usage.ru_maxrss};
        ssize_t ignored = write(pipeFds[1], &m, sizeof m);
        (void)ignored;
        _exit(0);
    }
    Measurement m;
    close(pipeFds[1]);
    if (read(pipeFds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
        m = {-1, -1};
    close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    return m;
}

} // namespace

int main(int argc, char** argv) {
    PinLocalTimeZone(); // as the program does at start
    std::vector<std::uint32_t> sizes = {1000, 10000, 36500, 100000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.push_back(static_cast<std::uint32_t>(std::strtoul(argv[i], nullptr, 10)));
    }
    std::string work = (fs::temp_directory_path() / "trekline-bench-XXXXXX").string();
    if (!mkdtemp(work.data()))
        return 1;
    const DiaryFiles files = DiaryFilesIn(work);

    std::printf("%-34s %10s %12s %10s %10s %8s\n", "command", "entries", "median ms", "peak MB",
                "floor ms", "ratio");
    for (std::uint32_t size : sizes) {
        fs::path diary = fs::path(work) / ("diary-" + std::to_string(size));
        WriteDailyDiary(diary, size);
        const std::vector<std::uint32_t> listed = ListedIdentifiers(size);
        auto report = [&files, &listed](bool values) {
            ReportData data = LoadReportData(files, listed);
            SaveChartPicture(files, data, values, kTrueColourBitsPerPixel);
            WriteHtmlReportFile(files.page, data.entries, ParseStepLength("100"));
        };
        // The report's floor writes the bytes the report writes.
        fs::copy_file(diary, files.steps, fs::copy_options::overwrite_existing);
        report(false);
        const std::vector<unsigned char> chartOff = FileBytes(files.chart);
        report(true);
        const std::vector<unsigned char> chartOn = FileBytes(files.chart);
        const std::vector<unsigned char> page = FileBytes(files.page);
        auto reportFloor = [&files, &page](const std::vector<unsigned char>& chart) {
            CStepFile(files).ReadAll();
            WriteDurably(files.chart, chart);
            WriteDurably(files.page, page);
        };
        auto readOnce = [&files] { CStepFile(files).ReadAll(); };
        auto append = [&files] {
            StepRecord record;
            record.steps = 4321;
            SetEntryDate(record, std::chrono::year{2026} / 1 / 1);
            CStepFile(files).Append(record);
        };
        auto remove = [&files] { DeleteEntry(files, 500); };
        const std::vector<Command> commands = {
            {"list (read + items)", [&files] { LoadEntryItems(files); }, readOnce},
            {"add + list",
             [&] {
                 append();
                 LoadEntryItems(files);
             },
             append},
            {"delete + list",
             [&] {
                 remove();
                 LoadEntryItems(files);
             },
             remove},
            {"report, values off", [&] { report(false); }, [&] { reportFloor(chartOff); }},
            {"report, values on", [&] { report(true); }, [&] { reportFloor(chartOn); }},
        };
        for (const Command& command : commands) {
            Measurement m = Measure(command.run, diary, files.steps, 5);
            Measurement floor = Measure(command.floor, diary, files.steps, 5);
            std::printf("%-34s %10u %12.2f %10.1f %10.2f %8.1f\n", command.name, size, m.medianMs,
                        static_cast<double>(m.peakKb) / 1024.0, floor.medianMs,
                        m.medianMs / floor.medianMs);
            std::fflush(stdout);
        }
    }
    fs::remove_all(work);
}
