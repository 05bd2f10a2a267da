#include "CsvExport.h"

#include <cstdio>
#include <functional>
#include <ostream>
#include <string_view>

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "FileIdentity.h"
#include "ListOrder.h"
#include "ReplacementFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNotExported = "the diary was not exported";
// The text is handed on a piece at a time, so that an export holds only the
// diary's records, never its whole text.
constexpr std::size_t kPieceBytes = 1 << 20;

using CsvSink = std::function<bool(std::string_view piece)>;

// Writes the diary's CSV to `sink` a piece at a time, stopping at a piece the
// sink refuses, which its owner words; the failure is the diary's reading.
CommandOutcome WriteDiaryCsv(const DiaryFiles& files, const CsvSink& sink) {
    std::vector<ListedRecord> records;
    try {
        CStepFile file(files);
        if (file.IsOk())
            file.VisitAll([&](std::uint64_t most) { records.reserve(most); },
                          [&](const StepRecord& r) { records.push_back(ListedRecord::Of(r)); });
        if (!file.IsOk())
            return DiaryFailure(file, files, "reading", kNotExported);
    } catch (...) {
        return ExceptionFailure(kNotExported);
    }
    std::string piece = "date,steps\r\n";
    piece.reserve(kPieceBytes + 64);
    bool written = true;
    char line[48];
    ForEachInListOrder(records, [&](const ListedRecord& record) {
        if (!written)
            return;
        const int length =
            std::snprintf(line, sizeof line, "%04u-%02u-%02u,%u\r\n", unsigned{record.year},
                          unsigned{record.month}, unsigned{record.day}, record.steps);
        piece.append(line, static_cast<std::size_t>(length));
        if (piece.size() >= kPieceBytes) {
            written = sink(piece);
            piece.clear();
        }
    });
    if (written)
        sink(piece);
    return {};
}

// Whether `target` is one of the files the diary keeps, which an export must
// never overwrite.
bool IsDiaryFile(const DiaryFiles& files, const fs::path& target) {
    const std::optional<FileIdentity> named = IdentityOf(target);
    if (!named)
        return false;
    for (const fs::path& kept : {files.steps, files.chart, files.page})
        if (const std::optional<FileIdentity> identity = IdentityOf(kept);
            identity && identity->IsSameFile(*named))
            return true;
    return false;
}

} // namespace

CommandOutcome ExportCsv(const DiaryFiles& files, const fs::path& target) {
    try {
        if (IsDiaryFile(files, target))
            return {target.filename().string() +
                        " is one of the diary's own files: " + std::string(kNotExported) + ".",
                    "exporting to " + target.string() + ": the diary's own file"};
        ReplacementFile copy(target);
        const CommandOutcome read = WriteDiaryCsv(files, [&copy](std::string_view piece) {
            return copy.Write(
                std::span(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()));
        });
        if (!read && copy.Status())
            return read;
        if (copy.Status())
            copy.Commit();
        if (const FileStatus& status = copy.Status(); !status)
            return FileFailure(DiaryFilesIn(target.parent_path()), target, status.Error(),
                               "exporting to", kNotExported);
        return {};
    } catch (...) {
        return ExceptionFailure(kNotExported);
    }
}

CommandOutcome ExportCsv(const DiaryFiles& files, std::ostream& out) {
    try {
        const CommandOutcome read = WriteDiaryCsv(files, [&out](std::string_view piece) {
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            return !out.fail();
        });
        if (!read && out)
            return read;
        out.flush();
        if (!out)
            // A stream keeps no reason for its failure.
            return {"The export could not be written to standard output.",
                    "writing standard output failed"};
        return {};
    } catch (...) {
        return ExceptionFailure(kNotExported);
    }
}
