// Writes everything the program makes of a few diaries into the current
// directory, one file per output: the list texts, the chart at 16 and 32 bits
// with and without values, the page, the CSV export, data.steps after an add,
// a delete and an import each way, and what each command said. Run by
// outputs-unchanged.sh in several zones for two commits, whose snapshots must
// be alike byte for byte.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "CsvExport.h"
#include "DiaryCommands.h"
#include "DiaryFiles.h"
#include "EntryDate.h"
// The list text's header has moved over time.
#if __has_include("EntryText.h")
#include "EntryText.h"
#else
#include "EntryList.h"
#endif
#include "ImportCommand.h"
#include "ReportCommand.h"
#include "StepRecord.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

// Daily entries over changes of the clocks with repeated and skipped days,
// and a few far-off, undatable and odd-timed ones.
std::vector<StepRecord> VariedDiary(std::uint32_t entries) {
    std::mt19937 random(1913);
    std::vector<StepRecord> records;
    sys_days day = year{2005} / 1 / 1;
    for (std::uint32_t id = 1; id <= entries; ++id) {
        StepRecord r;
        r.steps = static_cast<std::uint32_t>(random() % 20000);
        SetEntryDate(r, year_month_day{day});
        r.identifier = id;
        if (id % 500 == 0)
            r.year = static_cast<std::uint16_t>(1500 + id);
        if (id % 700 == 0)
            r.hour = 30;
        records.push_back(r);
        day += days{random() % 5 == 0 ? 0 : 1};
    }
    return records;
}

void WriteBytes(const fs::path& file, const std::vector<unsigned char>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A report of nothing writes no files: what is there is kept.
void Keep(const fs::path& file, const fs::path& as) {
    if (fs::exists(file))
        fs::copy_file(file, as, fs::copy_options::overwrite_existing);
}

void WriteDiary(const fs::path& file, const std::vector<StepRecord>& records, bool tornTail) {
    std::vector<unsigned char> bytes;
    for (const StepRecord& r : records) {
        const auto encoded = EncodeStepRecord(r);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    if (tornTail)
        bytes.insert(bytes.end(), 10, 0x5a);
    WriteBytes(file, bytes);
}

void Snapshot(const std::string& name, const std::vector<StepRecord>& records, bool tornTail,
              std::ofstream& log) {
    const fs::path kept = fs::current_path() / name;
    fs::create_directory(kept);
    const fs::path work = kept / "work";
    fs::create_directory(work);
    const DiaryFiles files = DiaryFilesIn(work);
    WriteDiary(files.steps, records, tornTail);
    auto said = [&log, &name](const std::string& step, const CommandOutcome& outcome) {
        log << name << " " << step << ": " << outcome.notice << "\n";
    };

    CommandOutcome why;
    std::ofstream list(kept / "list.txt", std::ios::binary);
    std::vector<std::uint32_t> identifiers;
    if (auto shown = LoadEntryRecords(files, &why))
        for (const StepRecord& r : *shown) {
            list << EntryItemText(r) << "\n";
            identifiers.push_back(r.identifier);
        }
    said("list", why);
    for (int bits : {16, 32})
        for (bool values : {false, true}) {
            said("report", SaveReport(files, identifiers, 75, values, bits));
            const std::string suffix = std::to_string(bits) + (values ? "-values" : "");
            Keep(files.chart, kept / ("chart-" + suffix + ".bmp"));
            Keep(files.page, kept / ("page-" + suffix + ".html"));
        }
    said("export", ExportCsv(files, kept / "export.csv"));
    said("add", AddEntry(files, 4321, year{2024} / 2 / 29));
    Keep(files.steps, kept / "after-add.steps");
    said("delete", DeleteEntry(files, 2));
    Keep(files.steps, kept / "after-delete.steps");
    const fs::path csv = kept / "import.csv";
    std::ofstream(csv) << "date,steps\n2005-01-03,777\n2024-02-29,4321\n2030-06-01,12\n"
                          "1999-13-01,5\n2005-01-05,1.5\n";
    for (ConflictChoice choice : {ConflictChoice::kKeepDiary, ConflictChoice::kUseFile}) {
        std::optional<ImportPreview> preview = PreviewImport(files, csv, {}, why);
        said("preview", why);
        if (!preview)
            continue;
        ImportMerge done;
        said("import",
             ImportRows(files, preview->steps.rows, choice, &done, &preview->merge.conflicts));
        log << name << " " << DescribeImport(done, choice, preview->steps.RejectedCount()) << "\n";
        Keep(files.steps, kept / (choice == ConflictChoice::kUseFile ? "after-import-take.steps"
                                                                      : "after-import-keep.steps"));
    }
    fs::remove_all(work);
}

} // namespace

int main() {
    std::ofstream log("said.txt", std::ios::binary);
    Snapshot("varied", VariedDiary(3000), false, log);
    Snapshot("torn", VariedDiary(40), true, log);
    Snapshot("one", VariedDiary(1), false, log);
    Snapshot("empty", {}, false, log);
}
