#pragma once

#include <optional>
#include <vector>

#include "EntryListChange.h"
#include "EntryText.h"
#include "StepRecord.h"

// One row of the list as a window keeps it: where its text sorts and the
// record behind it, as it was read. The text itself (EntryItemText) is made
// only when the row is drawn, so a row costs 40 bytes however long the diary.
struct ShownEntry {
    EntryTextKey key;
    StepRecord record;

    bool operator==(const ShownEntry&) const = default;
};

// The rows of the records (as a scan gives them, newest first) in the order
// of BuildEntryItems: byte order of their texts, equal texts in scan order.
std::vector<ShownEntry> BuildShownEntries(const std::vector<StepRecord>& records);

// What turns one scan of the diary into the next: the records gone, by their
// places in the scan before, and the records come, all of which lie after
// every record kept (in the file's order), newest first as the scan has them.
struct RecordChange {
    std::vector<std::size_t> removed;
    std::vector<StepRecord> added;
};

// The change between two scans, found in one pass over their records. An
// append, a delete or a rewrite (records removed anywhere, others appended)
// gives exactly the records it touched; any other change still gives a
// change that turns `before` into `after`.
RecordChange FindRecordChange(const std::vector<StepRecord>& before,
                              const std::vector<StepRecord>& after);

// Makes `entries`, the rows of the scan `before`, into those of the scan
// after `change`, moving the unchanged rows along but making none of them
// afresh, and gives the list changes that do the same to a list showing them.
// None, and the entries as they were, when a removed record is not among them.
std::optional<std::vector<EntryListChange>> ApplyRecordChange(std::vector<ShownEntry>& entries,
                                                              const std::vector<StepRecord>& before,
                                                              const RecordChange& change);
