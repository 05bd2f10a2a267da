// The CSV import of a million rows into a diary of a hundred years, beside
// its floor: reading the CSV file once and writing the imported diary's bytes
// once, with the same calls to make them durable. Then hostile files, far
// larger than any export: each is timed with its peak memory, and the diary
// must be as it was unless rows were imported.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ChildMeasure.h"
#include "DiaryFiles.h"
#include "DiaryFixture.h"
#include "EntryDate.h"
#include "FileCommands.h"
#include "FloorWork.h"
#include "LocalClock.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

constexpr double kMaxRatio = 3;

// Writes a file of `lines` lines, line(i) giving each, through one buffer.
void WriteLines(const fs::path& path, const std::string& head, std::uint64_t lines,
                const std::function<void(std::uint64_t, std::string&)>& line) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string buffer = head;
    for (std::uint64_t i = 0; i < lines; ++i) {
        line(i, buffer);
        if (buffer.size() >= (1 << 20)) {
            out << buffer;
            buffer.clear();
        }
    }
    out << buffer;
}

void AppendRow(std::string& buffer, year_month_day date, std::uint32_t steps) {
    char row[40];
    const int length = std::snprintf(
        row, sizeof row, "%04d-%02u-%02u,%u\r\n", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), steps);
    buffer.append(row, static_cast<std::size_t>(length));
}

// Two rows a day backwards from the diary's newest day, as a tracker that
// splits the day writes them: on the diary's days every other date agrees
// with the diary and the others conflict; the older days are new.
void WriteCsv(const fs::path& path, std::uint64_t rows, std::uint32_t entries) {
    const sys_days newest = 2025y / December / 31;
    WriteLines(path, "date,steps\r\n", rows, [&](std::uint64_t i, std::string& buffer) {
        const std::uint64_t back = i / 2;
        const year_month_day date{newest - days{back}};
        auto steps = static_cast<std::uint32_t>(3000 + back % 5000);
        if (back < entries) {
            // The fixture's count for that day.
            const std::uint64_t index = entries - 1 - back;
            steps = 2000 + static_cast<std::uint32_t>(index * 7919u % 14000);
            if (back % 2 != 0)
                ++steps;
        }
        AppendRow(buffer, date, i % 2 == 0 ? steps / 2 : steps - steps / 2);
    });
}

// What `trekline --import FILE` prints, run in the diary's directory: the
// counts, or why nothing was imported.
std::string ImportOutcome(const fs::path& offered) {
    const std::string file = offered.string();
    const std::vector<const char*> arguments = {"--import", file.c_str()};
    std::ostringstream out, err;
    if (RunFileCommand(ParseCommandLine(arguments), out, err) != 0)
        return "refused: " + err.str();
    std::string counts = out.str();
    counts.pop_back(); // the line end
    return counts;
}

// Measures the import in a child process, on a fresh copy of the diary each
// round; the outcome of the last round comes back through a file.
struct Run {
    Measurement measured;
    std::string outcome;
};

Run MeasureImport(const DiaryFiles& files, const fs::path& diary, const fs::path& offered,
                  int rounds) {
    const fs::path told = files.steps.parent_path() / "outcome.txt";
    Run run;
    run.measured = MeasureInChild(
        [&] {
            fs::copy_file(diary, files.steps, fs::copy_options::overwrite_existing);
            fs::current_path(files.steps.parent_path());
        },
        [&] { std::ofstream(told) << ImportOutcome(offered); }, rounds);
    std::getline(std::ifstream(told), run.outcome);
    return run;
}

void PrintRow(const char* what, const Measurement& m, const Measurement* floor) {
    std::printf("%-40s %10.0f %7.0f %10.1f", what, m.medianMs, m.minMs,
                static_cast<double>(m.peakKb) / 1024.0);
    if (floor) {
        const double ratio = m.medianMs / floor->medianMs;
        std::printf(" %10.0f %7.2f %s (quickest rounds %.2f)", floor->medianMs, ratio,
                    ratio <= kMaxRatio ? "met" : "MISSED", m.minMs / floor->minMs);
    }
    std::printf("\n");
    std::fflush(stdout);
}

struct HostileFile {
    const char* name;
    std::function<void(const fs::path&)> write;
};

std::vector<HostileFile> HostileFiles() {
    constexpr std::uint64_t kHundredMb = 100'000'000;
    constexpr std::uint64_t kTenMillion = 10'000'000;
    auto fill = [](const fs::path& path, const std::string& head, char filler, char tail) {
        WriteLines(path, head, kHundredMb >> 20, [&](std::uint64_t, std::string& buffer) {
            buffer.append(1 << 20, filler);
            buffer.back() = tail;
        });
    };
    return {
        {"one 100 MB line after the header",
         [&](const fs::path& p) { fill(p, "date,steps\r\n2006-05-05,", '7', '7'); }},
        {"one 100 MB line, no header",
         [&](const fs::path& p) { fill(p, "2006-05-05,1", '2', '2'); }},
        {"a quoted field never closed, 100 MB",
         [](const fs::path& p) {
             WriteLines(p, "date,steps\n\"", kHundredMb / 2,
                        [](std::uint64_t, std::string& buffer) { buffer += "a\n"; });
         }},
        {"10 million rows, all new",
         [&](const fs::path& p) {
             const sys_days first = 1000y / January / 1;
             WriteLines(p, "date,steps\n", kTenMillion, [&](std::uint64_t i, std::string& buffer) {
                 AppendRow(buffer, year_month_day{first + days{i / 5}},
                           static_cast<std::uint32_t>(i % 20000));
             });
         }},
        {"10 million rows, none readable",
         [&](const fs::path& p) {
             WriteLines(p, "date,steps\n", kTenMillion,
                        [](std::uint64_t, std::string& buffer) { buffer += "2006-13-01,5\n"; });
         }},
    };
}

} // namespace

int main(int argc, char** argv) {
    PinLocalTimeZone(); // as the program does at start
    const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const std::uint64_t rows = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1'000'000;
    const auto entries =
        static_cast<std::uint32_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 36'500);
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 5;
    const bool hostile = argc > 5 ? std::string(argv[5]) != "no-hostile" : true;

    const fs::path work = dir / "work";
    fs::remove_all(work);
    fs::create_directories(work);
    const DiaryFiles files = DiaryFilesIn(work);
    const fs::path diary = dir / ("diary-" + std::to_string(entries));
    const fs::path csv = dir / ("rows-" + std::to_string(rows) + ".csv");
    WriteDailyDiary(diary, entries);
    if (!fs::exists(csv))
        WriteCsv(csv, rows, entries);
    std::printf("%llu CSV rows (%.1f MB) into a diary of %u entries, median of %d\n",
                static_cast<unsigned long long>(rows),
                static_cast<double>(fs::file_size(csv)) / 1e6, entries, rounds);
    std::printf("%-40s %10s %7s %10s %10s %7s\n", "measure", "median ms", "min ms", "peak MB",
                "floor ms", "ratio");

    const Run import = MeasureImport(files, diary, csv, rounds);
    const fs::path imported = dir / "imported.steps";
    fs::copy_file(files.steps, imported, fs::copy_options::overwrite_existing);
    // The floor writes the bytes the import wrote; they are loaded before
    // the clock starts.
    std::vector<unsigned char> bytes;
    const Measurement floor = MeasureInChild(
        [&] {
            fs::copy_file(diary, files.steps, fs::copy_options::overwrite_existing);
            bytes = FileBytes(imported);
        },
        [&] {
            ReadThrough(csv);
            WriteDurably(files.steps, bytes);
        },
        rounds);
    PrintRow("floor: read the CSV, write the diary", floor, nullptr);
    PrintRow("import", import.measured, &floor);
    std::printf("  %s; data.steps %.1f MB\n", import.outcome.c_str(),
                static_cast<double>(fs::file_size(imported)) / 1e6);
    const Run again = MeasureImport(files, imported, csv, 1);
    PrintRow("the same file again", again.measured, nullptr);
    std::printf("  %s; data.steps %s\n", again.outcome.c_str(),
                FileBytes(files.steps) == FileBytes(imported) ? "unchanged" : "CHANGED");
    if (!hostile)
        return 0;

    std::printf("\nhostile files, into the diary of %u entries\n", entries);
    const fs::path offered = dir / "hostile.csv";
    for (const HostileFile& file : HostileFiles()) {
        file.write(offered);
        const Run run = MeasureImport(files, diary, offered, 1);
        PrintRow(file.name, run.measured, nullptr);
        const bool unchanged = FileBytes(files.steps) == FileBytes(diary);
        const bool refused = !run.outcome.starts_with("added") ||
                             run.outcome.starts_with("added 0, unchanged 0, conflicts 0");
        std::printf("  %s; data.steps %s%s\n", run.outcome.c_str(),
                    unchanged ? "unchanged" : "changed",
                    refused && !unchanged ? " WHEN NOTHING WAS IMPORTED" : "");
        fs::remove(offered);
    }
}
