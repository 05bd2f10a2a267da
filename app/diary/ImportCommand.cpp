#include "ImportCommand.h"

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "ImportError.h"
#include "ImportFile.h"

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kNothingImported = "nothing was imported";
} // namespace

std::optional<ImportedSteps> ReadOfferedFile(const fs::path& offered,
                                             const ImportProgress& progress, CommandOutcome& why) {
    try {
        return ReadImportFile(offered, progress);
    } catch (const ImportCancelled&) {
        why = {"The import was cancelled: the diary is unchanged.", "import cancelled"};
    } catch (const ImportError& refused) {
        why = {std::string(refused.what()),
               "importing " + offered.string() + ": " + refused.what()};
    } catch (...) {
        why = ExceptionFailure(kNothingImported);
    }
    return std::nullopt;
}

std::optional<ImportPreview> PreviewImport(const DiaryFiles& files, const fs::path& offered,
                                           const ImportProgress& progress, CommandOutcome& why) {
    std::optional<ImportedSteps> steps = ReadOfferedFile(offered, progress, why);
    if (!steps)
        return std::nullopt;
    try {
        std::optional<std::vector<StepRecord>> records = LoadEntryRecords(files, &why);
        if (!records)
            return std::nullopt;
        // Where the records lie matters only to an import that removes some,
        // which the preview does not.
        std::vector<PlacedRecord> placed;
        placed.reserve(records->size());
        for (const StepRecord& record : *records)
            placed.push_back({0, record});
        ImportPreview preview;
        preview.merge = MergeImport(placed, steps->rows, ConflictChoice::kKeepDiary);
        preview.steps = std::move(*steps);
        return preview;
    } catch (...) {
        why = ExceptionFailure(kNothingImported);
    }
    return std::nullopt;
}

CommandOutcome ImportRows(const DiaryFiles& files, const std::vector<ImportedRow>& rows,
                          ConflictChoice choice, ImportMerge* done,
                          const std::vector<DateConflict>* shown,
                          std::optional<DiaryChangeSeen>* seen) {
    try {
        CStepFile file(files);
        if (seen)
            file.KeepChangedBytes();
        ImportMerge merge;
        std::optional<DiaryEdit> edit;
        if (file.IsOk())
            edit = file.Rewrite([&](const std::vector<PlacedRecord>& newestFirst) {
                merge = MergeImport(newestFirst, rows, choice, shown);
                return std::move(merge.edit);
            });
        if (!edit)
            return DiaryFailure(file, files, "importing into", kNothingImported);
        merge.edit = std::move(*edit);
        if (seen)
            *seen = file.LastChange();
        if (done)
            *done = std::move(merge);
        return {};
    } catch (...) {
        return ExceptionFailure(kNothingImported);
    }
}

std::string DescribeImport(const ImportMerge& merge, ConflictChoice choice, std::size_t rejected) {
    const std::size_t kept = merge.conflicts.size() - merge.replaced;
    std::string conflicts;
    if (choice == ConflictChoice::kKeepDiary)
        conflicts = std::to_string(kept) + " kept";
    else if (kept == 0)
        conflicts = std::to_string(merge.replaced) + " replaced";
    else
        conflicts = std::to_string(merge.replaced) + " replaced, " + std::to_string(kept) + " kept";
    return "added " + std::to_string(merge.added) + ", unchanged " +
           std::to_string(merge.unchanged) + ", conflicts " + conflicts + ", rejected " +
           std::to_string(rejected);
}
