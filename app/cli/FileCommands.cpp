#include "FileCommands.h"

#include <filesystem>
#include <ostream>

#include "CsvExport.h"
#include "DataHome.h"
#include "EntryDate.h"
#include "ImportCommand.h"
#include "LocalClock.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDone = 0;
constexpr int kNotDone = 1;

int Report(const CommandOutcome& outcome, std::ostream& err) {
    if (outcome)
        return kDone;
    err << "trekline: " << outcome.notice << '\n';
    return kNotDone;
}

int Import(const DiaryFiles& files, const CommandLine& commandLine, std::ostream& out,
           std::ostream& err) {
    // No preview to show here: the import works the merge out under the lock.
    CommandOutcome why;
    std::optional<ImportedSteps> read = ReadOfferedFile(commandLine.file, {}, why);
    if (!read)
        return Report(why, err);
    const ConflictChoice choice =
        commandLine.replace ? ConflictChoice::kUseFile : ConflictChoice::kKeepDiary;
    ImportMerge done;
    if (const CommandOutcome imported = ImportRows(files, read->rows, choice, &done); !imported)
        return Report(imported, err);
    for (const RejectedRow& row : read->rejected) {
        err << "trekline: " << commandLine.file;
        if (row.line > 0)
            err << ": line " << row.line;
        err << ": " << row.reason << '\n';
    }
    if (read->unlistedRejected > 0)
        err << "trekline: " << commandLine.file << ": " << read->unlistedRejected
            << " more rows could not be read\n";
    out << DescribeImport(done, choice, read->RejectedCount()) << '\n';
    out.flush();
    return out ? kDone : kNotDone;
}

} // namespace

std::optional<DiaryFiles> CommandLineDiary(const CommandLine& commandLine, std::ostream& err) {
    // The zone is looked up once for the run.
    PinLocalTimeZone();
    const DiaryDirectory directory =
        FindDiaryDirectory(commandLine.place == CommandLine::Place::kDataHome);
    if (!directory.problem.empty()) {
        err << "trekline: " << directory.problem << ": the diary cannot be kept.\n";
        return std::nullopt;
    }
    return DiaryFilesIn(directory.path);
}

std::optional<int> RunFileCommand(const CommandLine& commandLine, std::ostream& out,
                                  std::ostream& err) {
    if (commandLine.action != CommandLine::Action::kExportCsv &&
        commandLine.action != CommandLine::Action::kImport)
        return std::nullopt;
    const std::optional<DiaryFiles> diary = CommandLineDiary(commandLine, err);
    if (!diary)
        return kNotDone;
    const DiaryFiles& files = *diary;
    if (commandLine.action == CommandLine::Action::kImport)
        return Import(files, commandLine, out, err);
    if (commandLine.file == "-")
        return Report(ExportCsv(files, out), err);
    return Report(ExportCsv(files, fs::path(commandLine.file)), err);
}
