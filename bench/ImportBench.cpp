// The import of a large Apple Health export, from export.xml and from the
// zip, beside its floor: a bare expat pass with no handlers over the same
// bytes (read out of the zip for the zip). Prints time and peak memory of each
// and the import's ratio to its floor. Then hostile exports, made at the
// sizes that once cost gigabytes or hours: each must be refused within the
// memory goal, the hole of NUL bytes also within two seconds; their floor is
// reading the same bytes through (inflating them for a zip), keeping nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <archive.h>
#include <archive_entry.h>
#include <expat.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ExportFile.h"
#include "ImportError.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr double kMaxPeakMb = 64;
constexpr double kMaxRatio = 1.5;
constexpr double kMaxRefuseSeconds = 2;

struct Measurement {
    double seconds = 0;
    double peakMb = 0;
};

// Runs the work in a child process of its own, so that its peak memory is its own.
Measurement InChild(const std::function<void()>& work) {
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(1);
    pid_t pid = fork();
    if (pid == 0) {
        auto start = std::chrono::steady_clock::now();
        work();
        Measurement m;
        m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        m.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
        ssize_t ignored = write(fds[1], &m, sizeof m);
        (void)ignored;
        _exit(0);
    }
    close(fds[1]);
    Measurement m{-1, -1};
    if (read(fds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
        m = {-1, -1};
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return m;
}

Measurement Median(const std::function<void()>& work, int rounds) {
    std::vector<Measurement> runs;
    for (int i = 0; i < rounds; ++i)
        runs.push_back(InChild(work));
    std::ranges::sort(runs, {}, &Measurement::seconds);
    return runs[runs.size() / 2];
}

// Records as a phone writes them, from two sources. The DTD is well-formed
// here, so that the bare pass the import is measured against reads it all.
void WriteExport(const fs::path& path, long records) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE HealthData [\n"
           "<!ELEMENT HealthData (ExportDate,Me,(Record)*)>\n<!ATTLIST HealthData\n"
           "  locale CDATA #REQUIRED\n>\n<!ATTLIST Record\n  type CDATA #REQUIRED\n"
           "  value CDATA #IMPLIED\n>\n]>\n<HealthData locale=\"en_US\">\n"
           " <ExportDate value=\"2024-03-05 10:00:00 +0100\"/>\n";
    std::string line;
    std::uint32_t noise = 7;
    for (long i = 0; i < records; ++i) {
        noise = noise * 1103515245u + 12345u;
        const long day = i / 480;
        char date[64];
        std::snprintf(date, sizeof date, "%04ld-%02ld-%02ld %02u:%02u:%02u +0100", 1990 + day / 372,
                      1 + day / 31 % 12, 1 + day % 31, noise % 24, noise / 24 % 60,
                      noise / 1440 % 60);
        line = std::string(" <Record type=\"HKQuantityTypeIdentifierStepCount\" sourceName=\"") +
               (i % 3 ? "iPhone" : "Anna\xE2\x80\x99s Apple Watch") +
               "\" sourceVersion=\"17.1\" unit=\"count\" creationDate=\"" + date +
               "\" startDate=\"" + date + "\" endDate=\"" + date + "\" value=\"" +
               std::to_string(noise >> 22) + "\"/>\n";
        out << line;
    }
    out << "</HealthData>\n";
}

void WriteZipOf(const fs::path& xml, const fs::path& zip,
                const char* entryName = "apple_health_export/export.xml") {
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    archive_write_open_filename(writer, zip.c_str());
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, entryName);
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, static_cast<la_int64_t>(fs::file_size(xml)));
    archive_write_header(writer, entry);
    std::ifstream in(xml, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount())
        archive_write_data(writer, buffer.data(), static_cast<std::size_t>(in.gcount()));
    archive_entry_free(entry);
    archive_write_close(writer);
    archive_write_free(writer);
}

// The floor: expat over the bytes, no handlers, the same chunk size.
void BareExpat(const std::function<std::size_t(char*, std::size_t)>& read) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    for (;;) {
        void* buffer = XML_GetBuffer(parser, static_cast<int>(kChunk));
        std::size_t got = read(static_cast<char*>(buffer), kChunk);
        if (XML_ParseBuffer(parser, static_cast<int>(got), got == 0) != XML_STATUS_OK) {
            std::fprintf(stderr, "floor: %s\n", XML_ErrorString(XML_GetErrorCode(parser)));
            std::exit(3);
        }
        if (got == 0)
            break;
    }
    XML_ParserFree(parser);
}

void BareExpatOverFile(const fs::path& xml) {
    int fd = open(xml.c_str(), O_RDONLY);
    BareExpat([fd](char* buffer, std::size_t size) {
        ssize_t got = read(fd, buffer, size);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    });
    close(fd);
}

void BareExpatOverZip(const fs::path& zip) {
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    archive_read_open_filename(reader, zip.c_str(), 64 * 1024);
    archive_entry* entry;
    archive_read_next_header(reader, &entry);
    BareExpat([reader](char* buffer, std::size_t size) {
        la_ssize_t got = archive_read_data(reader, buffer, size);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    });
    archive_read_free(reader);
}

// A file of a head, then count pieces the piece function appends, then a tail,
// written a megabyte at a time.
void WritePieces(const fs::path& path, const std::string& head, std::uint64_t count,
                 const std::function<void(std::uint64_t, std::string&)>& piece,
                 const std::string& tail) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string buffer = head;
    for (std::uint64_t i = 0; i < count; ++i) {
        piece(i, buffer);
        if (buffer.size() >= (1u << 20)) {
            out << buffer;
            buffer.clear();
        }
    }
    out << buffer << tail;
}

const char kAppleStart[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<HealthData locale=\"en_US\">\n";
const char kFitbitEntry[] = "MyFitbitData/A/Physical Activity/steps-2024-01-01.json";

void WriteNested(const fs::path& path, std::uint64_t levels) {
    WritePieces(
        path, kAppleStart, levels, [](std::uint64_t, std::string& b) { b += "<a>"; }, "");
}

// Sixteen attributes an element, every name new.
void WriteManyAttributeNames(const fs::path& path, std::uint64_t names) {
    WritePieces(
        path, kAppleStart, names / 16,
        [](std::uint64_t i, std::string& b) {
            char element[16 * 12 + 8];
            int at = std::snprintf(element, sizeof element, "<e");
            for (std::uint64_t a = i * 16; a < i * 16 + 16; ++a)
                at += std::snprintf(element + at, sizeof element - static_cast<std::size_t>(at),
                                    " a%06llx=\"\"", static_cast<unsigned long long>(a));
            b.append(element, static_cast<std::size_t>(at));
            b += "/>\n";
        },
        "</HealthData>\n");
}

void WriteManyFields(const fs::path& path, std::uint64_t fields) {
    WritePieces(
        path, "[{\"dateTime\":\"01/01/24 00:00:00\",\"value\":\"3\"", fields,
        [](std::uint64_t, std::string& b) { b += ",\"k\":1"; }, "}]");
}

// An export's start, then a hole of NUL bytes that takes no room on disk:
// 16 TiB, or as near as the file system allows.
void WriteNulHole(const fs::path& path) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << kAppleStart;
    for (std::uint64_t size :
         {std::uint64_t{16} << 40, (std::uint64_t{16} << 40) - 4096, std::uint64_t{1} << 40}) {
        std::error_code error;
        fs::resize_file(path, size, error);
        if (!error)
            return;
    }
    std::exit(4);
}

void ReadThroughFile(const fs::path& path) {
    int fd = open(path.c_str(), O_RDONLY);
    std::vector<char> chunk(kChunk);
    while (read(fd, chunk.data(), chunk.size()) > 0) {
    }
    close(fd);
}

void InflateThrough(const fs::path& zip) {
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    archive_read_open_filename(reader, zip.c_str(), 64 * 1024);
    archive_entry* entry;
    std::vector<char> chunk(kChunk);
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK)
        while (archive_read_data(reader, chunk.data(), chunk.size()) > 0) {
        }
    archive_read_free(reader);
}

struct HostileExport {
    const char* name;
    fs::path file;
};

void HostileRows(const fs::path& dir) {
    const fs::path scratch = dir / "hostile-scratch";
    const std::vector<HostileExport> exports = {
        {"96 MB of nested <a>, export.xml", dir / "hostile-nested.xml"},
        {"nested <a> in a small export.zip", dir / "hostile-nested.zip"},
        {"16 million attribute names, xml", dir / "hostile-names.xml"},
        {"20 million JSON fields, Fitbit", dir / "hostile-fields.json"},
        {"the same fields in a Fitbit zip", dir / "hostile-fields.zip"},
        {"NUL hole after an export's start", dir / "hostile-hole.xml"},
    };
    if (!fs::exists(exports[0].file))
        WriteNested(exports[0].file, 32'000'000);
    if (!fs::exists(exports[1].file)) {
        WriteNested(scratch, 21'000'000);
        WriteZipOf(scratch, exports[1].file);
    }
    if (!fs::exists(exports[2].file))
        WriteManyAttributeNames(exports[2].file, 16'000'000);
    if (!fs::exists(exports[3].file))
        WriteManyFields(exports[3].file, 20'000'000);
    if (!fs::exists(exports[4].file)) {
        WriteManyFields(scratch, 20'000'000);
        WriteZipOf(scratch, exports[4].file, kFitbitEntry);
    }
    fs::remove(scratch);
    WriteNulHole(exports[5].file);

    std::printf("\nhostile exports: each refused, peak below %.0f MB; the hole within %.0f s\n",
                kMaxPeakMb, kMaxRefuseSeconds);
    std::printf("%-34s %10s %10s %10s %10s %10s %s\n", "file", "MB", "refuse s", "peak MB",
                "floor s", "floor MB", "goal");
    const fs::path told = dir / "hostile-outcome.txt";
    for (const HostileExport& hostile : exports) {
        const fs::path file = hostile.file;
        const Measurement m = InChild([&] {
            std::string outcome = "READ, NOT REFUSED";
            try {
                ReadExportFile(file, [](std::uint64_t, std::uint64_t) { return true; });
            } catch (const ImportError& error) {
                outcome = error.what();
            }
            std::ofstream(told) << outcome;
        });
        std::string outcome;
        std::getline(std::ifstream(told), outcome);
        const bool isHole = &hostile == &exports.back();
        const bool isZip = file.extension() == ".zip";
        // No one reads 16 TiB: the hole has no floor.
        Measurement floor{-1, -1};
        if (!isHole)
            floor = InChild([&] { isZip ? InflateThrough(file) : ReadThroughFile(file); });
        const bool met = m.peakMb >= 0 && m.peakMb < kMaxPeakMb && outcome != "READ, NOT REFUSED" &&
                         (!isHole || m.seconds < kMaxRefuseSeconds);
        std::printf("%-34s %10.1f %10.2f %10.1f", hostile.name,
                    static_cast<double>(fs::file_size(file)) / 1e6, m.seconds, m.peakMb);
        if (isHole)
            std::printf(" %10s %10s", "-", "-");
        else
            std::printf(" %10.2f %10.1f", floor.seconds, floor.peakMb);
        std::printf(" %s\n  %s\n", met ? "met" : "MISSED", outcome.c_str());
        std::fflush(stdout);
    }
    fs::remove(exports.back().file);
    fs::remove(told);
}

void Import(const fs::path& path, long records) {
    auto steps = ReadExportFile(path, [](std::uint64_t, std::uint64_t) { return true; });
    // Eighty days of records per year of 372 "days" cannot all be dates; the
    // rest must have been read.
    if (!steps || steps->rows.empty() || static_cast<long>(steps->rows.size()) > records)
        std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    const long records = argc > 1 ? std::atol(argv[1]) : 5'000'000;
    const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const bool hostile = argc > 4 ? std::string(argv[4]) != "no-hostile" : true;
    const fs::path xml = dir / ("export-" + std::to_string(records) + ".xml");
    const fs::path zip = dir / ("export-" + std::to_string(records) + ".zip");
    if (!fs::exists(xml))
        WriteExport(xml, records);
    if (!fs::exists(zip))
        WriteZipOf(xml, zip);
    std::printf("export.xml: %ld step records, %.0f MB; export.zip %.0f MB\n", records,
                static_cast<double>(fs::file_size(xml)) / 1e6,
                static_cast<double>(fs::file_size(zip)) / 1e6);
    std::printf("%-34s %10s %10s %10s %8s %s\n", "measure", "median s", "MB/s", "peak MB", "ratio",
                "goal");

    const double megabytes = static_cast<double>(fs::file_size(xml)) / 1e6;
    auto row = [&](const char* name, Measurement m, const Measurement* floor) {
        std::printf("%-34s %10.2f %10.0f %10.1f", name, m.seconds, megabytes / m.seconds, m.peakMb);
        if (floor) {
            const double ratio = m.seconds / floor->seconds;
            std::printf(" %8.2f %s", ratio,
                        ratio <= kMaxRatio && m.peakMb < kMaxPeakMb ? "met" : "MISSED");
        }
        std::printf("\n");
        std::fflush(stdout);
    };
    // Side by side, floor then import, so both see the same machine.
    const Measurement xmlFloor = Median([&] { BareExpatOverFile(xml); }, rounds);
    row("floor: bare expat, export.xml", xmlFloor, nullptr);
    row("import export.xml", Median([&] { Import(xml, records); }, rounds), &xmlFloor);
    const Measurement zipFloor = Median([&] { BareExpatOverZip(zip); }, rounds);
    row("floor: inflate + bare expat, zip", zipFloor, nullptr);
    row("import export.zip", Median([&] { Import(zip, records); }, rounds), &zipFloor);
    std::printf("goal: peak below %.0f MB, time within %.1f times the floor\n", kMaxPeakMb,
                kMaxRatio);
    if (hostile)
        HostileRows(dir);
}
