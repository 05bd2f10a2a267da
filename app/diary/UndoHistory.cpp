#include "UndoHistory.h"

#include <utility>

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "EntryDate.h"

std::string ChangeName(std::string_view command, const StepRecord& record) {
    return std::string(command) + " of " + FormatEntryDate(record, "%Y.%m.%d") + ", " +
           std::to_string(record.steps) + " steps";
}

void UndoHistory::Record(std::string name, const std::optional<DiaryChangeSeen>& seen) {
    redo_.clear();
    if (!seen || !seen->bytes) {
        undo_.clear();
        return;
    }
    undo_.push_back({std::move(name), seen->after, *seen->bytes, seen->added});
}

std::optional<std::string> UndoHistory::UndoName() const {
    return undo_.empty() ? std::nullopt : std::optional(undo_.back().name);
}

std::optional<std::string> UndoHistory::RedoName() const {
    return redo_.empty() ? std::nullopt : std::optional(redo_.back().name);
}

CommandOutcome UndoHistory::Undo(const DiaryFiles& files) {
    return Turn(files, undo_, redo_, true);
}

CommandOutcome UndoHistory::Redo(const DiaryFiles& files) {
    return Turn(files, redo_, undo_, false);
}

CommandOutcome UndoHistory::Turn(const DiaryFiles& files, std::vector<Change>& from,
                                 std::vector<Change>& to, bool back) {
    if (from.empty())
        return {};
    Change change = std::move(from.back());
    from.pop_back();
    const std::string verb = back ? "undone" : "redone";
    const std::string consequence = "the " + change.name + " was not " + verb;
    try {
        CStepFile file(files);
        file.KeepChangedBytes();
        // Undoing puts back what the change removed; redoing, what it inserted.
        DiaryChangeSeen::Bytes turned = change.bytes;
        if (!back)
            std::swap(turned.removed, turned.inserted);
        if (change.left && file.IsOk() && file.PutBackIfUnchanged(*change.left, turned)) {
            const std::optional<DiaryChangeSeen>& seen = file.LastChange();
            change.left = seen ? std::optional(seen->after) : std::nullopt;
            to.push_back(std::move(change));
            return {};
        }
        if (!file.IsOk())
            return DiaryFailure(file, files, back ? "undoing in" : "redoing in", consequence);
        // Changed by someone else since: an entry this window added can still
        // go on its own, as the Delete button would take it.
        if (back && change.added.size() == 1 && file.DeleteIfUnchanged(change.added.front()))
            return {};
        if (!file.IsOk())
            return DiaryFailure(file, files, "undoing in", consequence);
        return {"The diary was changed elsewhere since: " + consequence + ".",
                verb + " refused: " + files.steps.string() + " is not as the change left it"};
    } catch (...) {
        return ExceptionFailure(consequence);
    }
}
