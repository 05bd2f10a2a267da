#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CommandOutcome.h"
#include "DiaryFiles.h"
#include "EntryListChange.h"
#include "StepRecord.h"

// The entry list as it was first built, every text formatted and sorted: the
// plain model the window's own list (ShownEntries) is checked against.

// One line of the entry list and the record behind it, as it was read: a
// Delete removes the record only while the file still holds it so.
struct EntryItem {
    std::string text;
    StepRecord record;

    bool operator==(const EntryItem&) const = default;
};

// The list's items in byte order of their texts, which is date order for dated
// entries on every platform and in every locale. Entries with equal texts keep
// the order of `records`.
std::vector<EntryItem> BuildEntryItems(const std::vector<StepRecord>& records);

// The changes that touch the fewest rows when both lists are in the order
// BuildEntryItems gives, in one pass over both.
std::vector<EntryListChange> DiffEntryItems(const std::vector<EntryItem>& shown,
                                            const std::vector<EntryItem>& wanted);

// The list's items from the file, or none when the file could not be opened
// (nor made, when missing); then `why`, if given, says so.
std::optional<std::vector<EntryItem>> LoadEntryItems(const DiaryFiles& files,
                                                     CommandOutcome* why = nullptr);
