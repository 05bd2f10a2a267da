#include "DiaryCommands.h"

#include "CStepFile.h"
#include "EntryDate.h"

std::optional<std::vector<EntryItem>> LoadEntryItems(const DiaryFiles& files) {
    CStepFile file(files);
    if (!file.IsOk())
        return std::nullopt;
    return BuildEntryItems(file.ReadAll());
}

bool AddEntry(const DiaryFiles& files, std::uint32_t steps, std::chrono::year_month_day date) {
    StepRecord record;
    record.steps = steps;
    SetEntryDate(record, date);
    CStepFile file(files);
    if (!file.IsOk())
        return false;
    file.Append(record);
    return file.IsOk();
}

void DeleteEntry(const DiaryFiles& files, std::uint32_t identifier) {
    CStepFile file(files);
    file.DeleteById(identifier);
}

DeleteOutcome DeleteListedEntry(const DiaryFiles& files, const StepRecord& listed) {
    CStepFile file(files);
    if (file.DeleteIfUnchanged(listed))
        return DeleteOutcome::removed;
    return file.IsOk() ? DeleteOutcome::changed : DeleteOutcome::failed;
}
