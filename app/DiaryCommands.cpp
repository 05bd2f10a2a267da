#include "DiaryCommands.h"

#include <cerrno>

#include "CStepFile.h"
#include "EntryDate.h"

// The store says only that a call failed; the errno its failing file call
// left is still there when it returns, since the calls after it succeed.

std::optional<std::vector<EntryItem>> LoadEntryItems(const DiaryFiles& files, CommandOutcome* why) {
    std::optional<std::vector<StepRecord>> records = LoadEntryRecords(files, why);
    if (!records)
        return std::nullopt;
    return BuildEntryItems(*records);
}

std::optional<std::vector<StepRecord>> LoadEntryRecords(const DiaryFiles& files,
                                                        CommandOutcome* why) {
    errno = 0;
    CStepFile file(files);
    if (!file.IsOk()) {
        if (why)
            *why = FileFailure(files, files.steps, errno, "opening",
                               "the diary can be neither shown nor kept");
        return std::nullopt;
    }
    return file.ReadAll();
}

CommandOutcome AddEntry(const DiaryFiles& files, std::uint32_t steps,
                        std::chrono::year_month_day date) {
    StepRecord record;
    record.steps = steps;
    SetEntryDate(record, date);
    errno = 0;
    CStepFile file(files);
    if (file.IsOk())
        file.Append(record);
    if (!file.IsOk())
        return FileFailure(files, files.steps, errno, "appending to", "the entry was not added");
    return {};
}

CommandOutcome DeleteEntry(const DiaryFiles& files, std::uint32_t identifier) {
    errno = 0;
    CStepFile file(files);
    if (file.IsOk())
        file.DeleteById(identifier);
    if (!file.IsOk())
        return FileFailure(files, files.steps, errno, "deleting from", "the entry was not deleted");
    return {};
}

DeleteOutcome DeleteListedEntry(const DiaryFiles& files, const StepRecord& listed,
                                CommandOutcome* why) {
    errno = 0;
    CStepFile file(files);
    if (file.DeleteIfUnchanged(listed))
        return DeleteOutcome::removed;
    if (file.IsOk()) {
        if (why)
            *why = {"The entry was changed or deleted meanwhile: nothing was deleted.",
                    "deleting from " + files.steps.string() + ": the listed record is gone"};
        return DeleteOutcome::changed;
    }
    if (why)
        *why = FileFailure(files, files.steps, errno, "deleting from", "the entry was not deleted");
    return DeleteOutcome::failed;
}
