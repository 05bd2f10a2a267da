#include "DiaryCommands.h"

#include "CStepFile.h"
#include "EntryDate.h"

CommandOutcome DiaryFailure(const CStepFile& file, const DiaryFiles& files, std::string_view call,
                            std::string_view consequence) {
    if (file.IsTooLarge())
        return TooLargeFailure(files, consequence);
    if (file.WouldOverflow())
        return OverflowFailure(files, consequence);
    return FileFailure(files, files.steps, file.Failure().Error(), call, consequence);
}

// Every command catches what it throws, out of memory above all, so that a
// failure is an outcome the window shows and never the end of the program.

std::optional<std::vector<StepRecord>> LoadEntryRecords(const DiaryFiles& files,
                                                        CommandOutcome* why) {
    constexpr std::string_view kConsequence = "the diary can be neither shown nor kept";
    try {
        CStepFile file(files);
        std::vector<StepRecord> records = file.ReadAll();
        if (file.IsOk())
            return records;
        if (why)
            *why = DiaryFailure(file, files, "reading", kConsequence);
    } catch (...) {
        if (why)
            *why = ExceptionFailure(kConsequence);
    }
    return std::nullopt;
}

CommandOutcome AddEntry(const DiaryFiles& files, std::uint32_t steps,
                        std::chrono::year_month_day date, std::optional<DiaryChangeSeen>* seen) {
    constexpr std::string_view kConsequence = "the entry was not added";
    try {
        StepRecord record;
        record.steps = steps;
        SetEntryDate(record, date);
        CStepFile file(files);
        if (seen)
            file.KeepChangedBytes();
        if (file.IsOk())
            file.Append(record);
        if (!file.IsOk())
            return DiaryFailure(file, files, "appending to", kConsequence);
        if (seen)
            *seen = file.LastChange();
        return {};
    } catch (...) {
        return ExceptionFailure(kConsequence);
    }
}

CommandOutcome DeleteEntry(const DiaryFiles& files, std::uint32_t identifier) {
    constexpr std::string_view kConsequence = "the entry was not deleted";
    try {
        CStepFile file(files);
        if (file.IsOk())
            file.DeleteById(identifier);
        if (!file.IsOk())
            return DiaryFailure(file, files, "deleting from", kConsequence);
        return {};
    } catch (...) {
        return ExceptionFailure(kConsequence);
    }
}

DeleteOutcome DeleteListedEntry(const DiaryFiles& files, const StepRecord& listed,
                                CommandOutcome* why, std::optional<DiaryChangeSeen>* seen) {
    constexpr std::string_view kConsequence = "the entry was not deleted";
    try {
        CStepFile file(files);
        if (seen)
            file.KeepChangedBytes();
        if (file.DeleteIfUnchanged(listed)) {
            if (seen)
                *seen = file.LastChange();
            return DeleteOutcome::removed;
        }
        if (file.IsOk()) {
            if (why)
                *why = {"The entry was changed or deleted meanwhile: nothing was deleted.",
                        "deleting from " + files.steps.string() + ": the listed record is gone"};
            return DeleteOutcome::changed;
        }
        if (why)
            *why = DiaryFailure(file, files, "deleting from", kConsequence);
    } catch (...) {
        if (why)
            *why = ExceptionFailure(kConsequence);
    }
    return DeleteOutcome::failed;
}

CommandOutcome EditListedEntry(const DiaryFiles& files, const StepRecord& listed,
                               std::uint32_t steps, std::chrono::year_month_day date,
                               std::optional<DiaryChangeSeen>* seen) {
    constexpr std::string_view kConsequence = "the entry was not changed";
    try {
        StepRecord edited = listed;
        edited.steps = steps;
        // A date left as it was keeps its bytes, a weekday another program
        // wrote included.
        SetEntryDate(edited, date);
        if (edited.year == listed.year && edited.month == listed.month && edited.day == listed.day)
            edited.dayOfWeek = listed.dayOfWeek;
        CStepFile file(files);
        if (seen)
            file.KeepChangedBytes();
        if (file.EditIfUnchanged(listed, edited)) {
            if (seen)
                *seen = file.LastChange();
            return {};
        }
        if (file.IsOk())
            return {"The entry was changed or deleted meanwhile: " + std::string(kConsequence) +
                        ".",
                    "editing in " + files.steps.string() + ": the listed record is gone"};
        return DiaryFailure(file, files, "editing in", kConsequence);
    } catch (...) {
        return ExceptionFailure(kConsequence);
    }
}
