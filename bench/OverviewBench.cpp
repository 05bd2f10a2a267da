// Times the figures of the overview, the overview window's recount from the
// list's rows, and `trekline --summary` at growing diary sizes, beside
// reading the diary once, and prints rows in the table of command_bench:
// median time, peak memory, floor and ratio.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>
#include <unistd.h>
#include <vector>

#include "CStepFile.h"
#include "ChartBars.h"
#include "ChildMeasure.h"
#include "DayTotals.h"
#include "DiaryFixture.h"
#include "LocalClock.h"
#include "ListDayTotals.h"
#include "ShownEntries.h"
#include "StepFigures.h"
#include "SummaryCommand.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 7;

// Standard output's work is not the summary's.
struct NullBuffer : std::streambuf {
    int overflow(int c) override { return c; }
};

void PrintRow(const char* name, std::uint32_t size, const Measurement& m,
              const Measurement& floor) {
    std::printf("%-34s %10u %12.2f %10.1f %10.2f %8.1f\n", name, size, m.medianMs,
                static_cast<double>(m.peakKb) / 1024.0, floor.medianMs,
                m.medianMs / floor.medianMs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    PinLocalTimeZone(); // as the program does at start
    const std::vector<std::uint32_t> sizes = BenchSizes(argc, argv, {100000, 1000000});
    const fs::path work = MakeBenchDirectory();
    if (work.empty())
        return 1;
    // The summary works on the diary in the current directory.
    fs::current_path(work);
    const DiaryFiles files = DiaryFilesIn({});
    const std::vector<const char*> arguments = {"--summary", "--json", "--as-of", "2025-12-31"};
    const CommandLine summary = ParseCommandLine(arguments);
    NullBuffer discard;
    std::ostream nowhere(&discard);

    std::printf("%-34s %10s %12s %10s %10s %8s\n", "command", "entries", "median ms", "peak MB",
                "floor ms", "ratio");
    for (std::uint32_t size : sizes) {
        for (bool shuffled : {false, true}) {
            WriteCenturyDiary(files.steps, size, shuffled);
            auto none = [] {};
            const Measurement floor = MeasureInChild(
                none, [&files] { CStepFile(files).ReadAll(); }, kRounds);
            // The window has the records at hand already.
            std::vector<StepRecord> records;
            const Measurement held =
                MeasureInChild([&] { records = CStepFile(files).ReadAll(); },
                               [&] {
                                   const std::vector<DayTotal> days = DayTotalsOf(records);
                                   FiguresAsOf(days, std::chrono::year{2025} / 12 / 31, 10000);
                               },
                               kRounds);
            // The overview window as it opens, from the rows the list holds,
            // and after an Add, which it follows from the list's change: the
            // figures and the chart's bars shown each time.
            const std::chrono::sys_days asOf = std::chrono::year{2025} / 12 / 31;
            std::vector<ShownEntry> rows;
            ListDayTotals totals;
            const auto showFigures = [&] {
                FiguresAsOf(totals.Days(), asOf, 10000);
                ChartBarsOf(totals.Days(), asOf, ChartSpan::kLast30Days);
            };
            records = CStepFile(files).ReadAll();
            const Measurement opened = MeasureInChild(
                [&] { rows = BuildShownEntries(records); },
                [&] {
                    totals.Reset(rows);
                    showFigures();
                },
                kRounds);
            StepRecord added = records.empty() ? StepRecord{} : records.front();
            added.identifier = 0xFFFFFFF0u;
            const Measurement followed = MeasureInChild(
                [&] {
                    rows = BuildShownEntries(records);
                    totals.Reset(rows);
                },
                [&] {
                    const auto changes = ApplyRecordChange(rows, records, {{}, {added}});
                    totals.Follow(*changes, rows);
                    showFigures();
                },
                kRounds);
            const Measurement command = MeasureInChild(
                none,
                [&] {
                    RunSummaryCommand(
                        summary, [] { return 10000u; }, nowhere, nowhere);
                },
                kRounds);
            PrintRow(shuffled ? "overview figures, shuffled" : "overview figures (records held)",
                     size, held, floor);
            PrintRow(shuffled ? "overview opened, shuffled" : "overview opened (rows held)", size,
                     opened, floor);
            PrintRow(shuffled ? "overview after Add, shuffled" : "overview after Add (rows held)",
                     size, followed, floor);
            PrintRow(shuffled ? "--summary --json, shuffled" : "--summary --json (read + figures)",
                     size, command, floor);
        }
    }
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
}
