// Bytes of memory per diary entry at a size no one's diary reaches (five
// million entries unless told otherwise), where what grows with the diary
// shows plainly: the CSV export, the list's model as the window holds it and
// the report, each beside the floor of reading the diary once (its 24-byte
// records). Once for a diary in date order (many entries a day, as appends
// leave them) and once for the same entries shuffled, which the export must
// sort.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "CStepFile.h"
#include "ChildMeasure.h"
#include "CsvExport.h"
#include "EditText.h"
#include "EntryDate.h"
#include "HtmlReport.h"
#include "LocalClock.h"
#include "ReportCommand.h"
#include "ShownDiary.h"
#include "StepReport.h"

namespace fs = std::filesystem;

namespace {

void WriteDiary(const fs::path& file, std::uint32_t entries, bool shuffled) {
    using namespace std::chrono;
    const std::uint32_t perDay = std::max<std::uint32_t>(1, entries / 36500);
    std::vector<StepRecord> records(entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        StepRecord& r = records[i];
        r.steps = 2000 + (i * 7919u) % 14000;
        SetEntryDate(r, year_month_day{sys_days(year{1926} / January / 1) + days{i / perDay}});
    }
    if (shuffled)
        std::shuffle(records.begin(), records.end(), std::minstd_rand(5));
    std::vector<unsigned char> bytes(std::size_t{entries} * kStepRecordSize);
    for (std::uint32_t i = 0; i < entries; ++i) {
        records[i].identifier = i + 1;
        EncodeStepRecord(records[i], &bytes[std::size_t{i} * kStepRecordSize]);
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    PinLocalTimeZone();
    const std::uint32_t entries =
        argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 5'000'000;
    std::string work = (fs::temp_directory_path() / "trekline-memory-XXXXXX").string();
    if (!mkdtemp(work.data()))
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
        {"export csv", [&] { ExportCsv(files, fs::path(work) / "export.csv"); }},
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
        WriteDiary(files.steps, entries, shuffled);
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
