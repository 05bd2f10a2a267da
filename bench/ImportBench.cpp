// The import of a large Apple Health export, from export.xml and from the
// zip, beside its floor: a bare expat pass with no handlers over the same
// bytes (read out of the zip for the zip). Prints time and peak memory of each
// and the import's ratio to its floor.
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

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr double kMaxPeakMb = 64;
constexpr double kMaxRatio = 1.5;

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

void WriteZipOf(const fs::path& xml, const fs::path& zip) {
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    archive_write_open_filename(writer, zip.c_str());
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, "apple_health_export/export.xml");
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
}
