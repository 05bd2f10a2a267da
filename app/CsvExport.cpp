#include "CsvExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "DiaryCommands.h"
#include "FileIdentity.h"
#include "ReplacementFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNotExported = "the diary was not exported";

std::optional<std::string> LoadDiaryCsv(const DiaryFiles& files, CommandOutcome& why) {
    std::optional<std::vector<EntryItem>> items = LoadEntryItems(files, &why);
    if (!items)
        return std::nullopt;
    return DiaryCsv(*items);
}

// Whether `target` is one of the files the diary keeps, which an export must
// never overwrite.
bool IsDiaryFile(const DiaryFiles& files, const fs::path& target) {
    const std::optional<FileIdentity> named = IdentityOf(target);
    if (!named)
        return false;
    for (const fs::path& kept : {files.steps, files.chart, files.page})
        if (const std::optional<FileIdentity> identity = IdentityOf(kept);
            identity && identity->device == named->device && identity->inode == named->inode)
            return true;
    return false;
}

} // namespace

std::string DiaryCsv(const std::vector<EntryItem>& items) {
    std::string csv = "date,steps\r\n";
    csv.reserve(csv.size() + items.size() * 20);
    char line[48];
    for (const EntryItem& item : items) {
        const StepRecord& record = item.record;
        const int length =
            std::snprintf(line, sizeof line, "%04u-%02u-%02u,%u\r\n", unsigned{record.year},
                          unsigned{record.month}, unsigned{record.day}, record.steps);
        csv.append(line, static_cast<std::size_t>(length));
    }
    return csv;
}

CommandOutcome ExportCsv(const DiaryFiles& files, const fs::path& target) {
    try {
        if (IsDiaryFile(files, target))
            return {target.filename().string() +
                        " is one of the diary's own files: " + std::string(kNotExported) + ".",
                    "exporting to " + target.string() + ": the diary's own file"};
        CommandOutcome why;
        const std::optional<std::string> csv = LoadDiaryCsv(files, why);
        if (!csv)
            return why;
        ReplacementFile copy(target);
        copy.Write(std::span(reinterpret_cast<const std::uint8_t*>(csv->data()), csv->size()));
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
        CommandOutcome why;
        const std::optional<std::string> csv = LoadDiaryCsv(files, why);
        if (!csv)
            return why;
        out.write(csv->data(), static_cast<std::streamsize>(csv->size()));
        out.flush();
        if (!out)
            return {"The export could not be written to standard output.",
                    std::string("writing standard output: ") + std::strerror(errno)};
        return {};
    } catch (...) {
        return ExceptionFailure(kNotExported);
    }
}
