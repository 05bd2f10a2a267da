#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "StepRecord.h"

// One line of the entry list and the record behind it.
struct EntryItem {
    std::string text;
    std::uint32_t identifier = 0;

    bool operator==(const EntryItem&) const = default;
};

// "Date: 2006.04.03, steps: 950", in the C locale; an undatable entry has no
// date part and its text begins with the comma.
std::string EntryItemText(const StepRecord& record);

// The list's items in byte order of their texts, which is date order for dated
// entries on every platform and in every locale. Entries with equal texts keep
// the order of `records`.
std::vector<EntryItem> BuildEntryItems(const std::vector<StepRecord>& records);

// How the shown list becomes the wanted one with the fewest rows touched: the
// `removed` rows from `first` give way to the wanted rows from `first` on,
// `inserted` of them. Rows before and after stay.
struct EntryListChange {
    std::size_t first = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
};

EntryListChange DiffEntryItems(const std::vector<EntryItem>& shown,
                               const std::vector<EntryItem>& wanted);
