// Bytes of memory per diary entry at a size no one's diary reaches (five
// million entries unless told otherwise), where what grows with the diary
// shows plainly: the CSV export, the list's model as the window holds it and
// the report, each beside the floor of reading the diary once (its 24-byte
// records). Once for a diary in date order (many entries a day, as appends
// leave them) and once for the same entries shuffled, which the export must
// sort.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <vector>

#include "CStepFile.h"
#include "ChildMeasure.h"
#include "CsvExport.h"
#include "DiaryFixture.h"
#include "EditText.h"
#include "EntryDate.h"
#include "HtmlReport.h"
#include "LocalClock.h"
#include "ReportCommand.h"
#include "ShownDiary.h"
#include "StepReport.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    PinLocalTimeZone();
    const std::uint32_t entries =
        argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 5'000'000;
    const fs::path work = MakeBenchDirectory();
    if (work.empty())
        return 1;
    const DiaryFiles files = DiaryFilesIn(work);
    std::vector<std::uint32_t> listed(entries);
    std::iota(listed.begin(), listed.end(), 1u);
    struct Command {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Command> commands = {
        {"floor: read the diary once", [&] { CStepFile(files).ReadAll(); }},
        {"export csv", [&] { ExportCsv(files, work / "export.csv"); }},
        {"list model (window's rows)", [&] { ShownDiary(files).Reload(); }},
        {"report, values off",
         [&] {
             ReportData data = LoadReportData(files, listed);
             SaveChartPicture(files, data, false, kTrueColourBitsPerPixel);
             WriteHtmlReportFile(files.page, data.entries, ParseStepLength("100"));
         }},
    };
    std::printf("%-30s %-14s %10s %12s %10s %12s\n", "command", "diary", "entries", "median ms",
                "peak MB", "bytes/entry");
    for (bool shuffled : {false, true}) {
        WriteCenturyDiary(files.steps, entries, shuffled);
        for (const Command& command : commands) {
            const Measurement m = MeasureInChild([] {}, command.run, 3);
            std::printf("%-30s %-14s %10u %12.1f %10.1f %12.1f\n", command.name,
                        shuffled ? "shuffled" : "in date order", entries, m.medianMs,
                        static_cast<double>(m.peakKb) / 1024.0,
                        static_cast<double>(m.peakKb) * 1024.0 / entries);
            std::fflush(stdout);
        }
    }
    fs::remove_all(work);
}
