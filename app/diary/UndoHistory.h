#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CommandOutcome.h"
#include "DiaryChangeSeen.h"
#include "DiaryFiles.h"
#include "StepRecord.h"

// The names a change goes by in the menu: "Add of 2024.05.02, 2000 steps".
std::string ChangeName(std::string_view command, const StepRecord& record);

// A window's changes to the diary, undone and redone in turn for as long as
// it is open. Each is kept as the bytes it replaced, so that undoing it gives
// the file back its very bytes from before, and redoing it those from after,
// as long as no one else has changed the diary in between. When someone has,
// an entry the change added is taken back alone if it is still as added, and
// anything else is refused: another's entries are never removed or restored.
class UndoHistory {
public:
    // A change this window just made, which what was undone can no longer
    // be redone after. A change whose bytes the store could not tell is not
    // kept, and ends what can be undone.
    void Record(std::string name, const std::optional<DiaryChangeSeen>& seen);

    // The names of what Undo and Redo would do; none when nothing.
    std::optional<std::string> UndoName() const;
    std::optional<std::string> RedoName() const;

    // Undoes the last change, or redoes the last undone one; the outcome
    // says why not.
    CommandOutcome Undo(const DiaryFiles& files);
    CommandOutcome Redo(const DiaryFiles& files);

private:
    struct Change {
        std::string name;
        // The file as the change (or its undoing) left it; none when that
        // could not be told, so that nothing more is put back.
        std::optional<FileIdentity> left;
        DiaryChangeSeen::Bytes bytes; // replaced going forward
        std::vector<StepRecord> added;
    };
    // Puts the bytes of `change` back (or forward again) and moves it to `to`.
    CommandOutcome Turn(const DiaryFiles& files, std::vector<Change>& from, std::vector<Change>& to,
                        bool back);

    std::vector<Change> undo_;
    std::vector<Change> redo_;
};
