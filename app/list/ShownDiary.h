#pragma once

#include <optional>
#include <vector>

#include "CommandOutcome.h"
#include "DiaryChangeSeen.h"
#include "DiaryFiles.h"
#include "FileIdentity.h"
#include "ShownEntries.h"

// The diary as a window shows it: the list's items and the state of the file
// they were read from, so that a change by anyone else is noticed and the
// list follows it by the rows that changed.
class ShownDiary {
public:
    explicit ShownDiary(DiaryFiles files) : files_(std::move(files)) {}

    const DiaryFiles& Files() const { return files_; }
    const std::vector<ShownEntry>& Items() const { return items_; }

    // Whether the file is no longer the one the items were read from.
    bool FileChanged() const;

    // Reads the file afresh and gives the changes that turn the items shown
    // so far into the new ones, which are the old ones changed in place by
    // the records that changed; none when the file cannot be read, and the
    // items stay as they were, and `why`, if given, says why. Only the first
    // read creates a missing file.
    std::optional<std::vector<EntryListChange>> Reload(CommandOutcome* why = nullptr);

    // As Reload, after a change this process made, as its store saw it: a
    // change that started from the very file the items were read from is
    // applied to them without reading the file again.
    std::optional<std::vector<EntryListChange>>
    FollowOwnChange(const std::optional<DiaryChangeSeen>& change, CommandOutcome* why = nullptr);

private:
    std::vector<EntryListChange> Follow(const std::vector<StepRecord>& records);
    // Puts the records appended since the last read in front of records_.
    void JoinAppended();

    DiaryFiles files_;
    std::vector<ShownEntry> items_;
    std::vector<StepRecord> records_; // behind the items, as the scan gave them
    // Our own appends since, oldest first: kept apart so that an Add does
    // not move every record of a long diary up by one.
    std::vector<StepRecord> appended_;
    std::optional<FileIdentity> identity_;
    bool read_ = false;
};
