#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "StepRecord.h"

// One line of the entry list and the record behind it, as it was read: a
// Delete removes the record only while the file still holds it so.
struct EntryItem {
    std::string text;
    StepRecord record;

    bool operator==(const EntryItem&) const = default;
};

// "Date: 2006.04.03, steps: 950", in the C locale; an undatable entry has no
// date part and its text begins with the comma.
std::string EntryItemText(const StepRecord& record);

// The list's items in byte order of their texts, which is date order for dated
// entries on every platform and in every locale. Entries with equal texts keep
// the order of `records`.
std::vector<EntryItem> BuildEntryItems(const std::vector<StepRecord>& records);

// One place where the shown rows and the wanted ones differ: the `removed`
// shown rows from `shownFirst` give way to the `inserted` wanted rows from
// `wantedFirst`. Applied in order, each at row `wantedFirst` of the list as
// changed so far, the changes turn the shown list into the wanted one.
struct EntryListChange {
    std::size_t shownFirst = 0;
    std::size_t removed = 0;
    std::size_t wantedFirst = 0;
    std::size_t inserted = 0;

    bool operator==(const EntryListChange&) const = default;
};

// The changes that touch the fewest rows when both lists are in the order
// BuildEntryItems gives, in one pass over both.
std::vector<EntryListChange> DiffEntryItems(const std::vector<EntryItem>& shown,
                                            const std::vector<EntryItem>& wanted);

// Where shown row `row` is once the changes are made; none when they remove it.
std::optional<std::size_t> RowAfterChanges(const std::vector<EntryListChange>& changes,
                                           std::size_t row);

// Whether filling the list afresh with the wanted rows costs less than
// making the changes one by one.
bool RefillIsCheaper(const std::vector<EntryListChange>& changes, std::size_t wantedRows);
