// Times every command of the diary without a window, at growing diary sizes,
// and prints a table: median time and peak memory of the process running it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

#include "CStepFile.h"
#include "ChildMeasure.h"
#include "DiaryCommands.h"
#include "DiaryFixture.h"
#include "EditText.h"
#include "EntryDate.h"
#include "FloorWork.h"
#include "HtmlReport.h"
#include "LocalClock.h"
#include "ShownDiary.h"
#include "StepReport.h"

namespace fs = std::filesystem;

namespace {

struct Command {
    const char* name;
    std::function<void()> run;
    // The least the command's work can cost: what it must read and write,
    // with the same calls to make it durable.
    std::function<void()> floor;
};

// The dialog has the list's identifiers at hand; the fixture's list order is
// its file order.
std::vector<std::uint32_t> ListedIdentifiers(std::uint32_t entries) {
    std::vector<std::uint32_t> ids(entries);
    std::iota(ids.begin(), ids.end(), 1u);
    return ids;
}

// On a fresh copy of the diary each round.
Measurement Measure(const std::function<void()>& run, const fs::path& diary, const fs::path& steps,
                    int rounds) {
    return MeasureInChild(
        [&] { fs::copy_file(diary, steps, fs::copy_options::overwrite_existing); }, run, rounds);
}

} // namespace

int main(int argc, char** argv) {
    PinLocalTimeZone(); // as the program does at start
    const std::vector<std::uint32_t> sizes = BenchSizes(argc, argv, {1000, 10000, 36500, 100000});
    const fs::path work = MakeBenchDirectory();
    if (work.empty())
        return 1;
    const DiaryFiles files = DiaryFilesIn(work);

    std::printf("%-34s %10s %12s %10s %10s %8s\n", "command", "entries", "median ms", "peak MB",
                "floor ms", "ratio");
    for (std::uint32_t size : sizes) {
        fs::path diary = work / ("diary-" + std::to_string(size));
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
            {"list (read + rows)", [&files] { ShownDiary(files).Reload(); }, readOnce},
            {"add + list",
             [&] {
                 append();
                 ShownDiary(files).Reload();
             },
             append},
            {"delete + list",
             [&] {
                 remove();
                 ShownDiary(files).Reload();
             },
             [&files] { WriteWithoutOneRecord(files.steps); }},
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
