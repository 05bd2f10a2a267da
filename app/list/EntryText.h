#pragma once

#include <compare>
#include <cstdint>
#include <string>

#include "StepRecord.h"

// The text of an entry's row in the list: "Date: 2006.04.03, steps: 950", in
// the C locale; an undatable entry has no date part and its text begins with
// the comma. The list is in byte order of these texts, which is date order for
// dated entries on every platform and in every locale.
std::string EntryItemText(const StepRecord& record);

// Where an entry's list text sorts, in 16 bytes: keys compare
// exactly as the texts compare byte by byte, and equal keys mean equal texts.
// The list is sorted by key, so that a diary of decades is put in order
// without formatting a text per entry; a text is formatted only when its row
// is drawn or read.
struct EntryTextKey {
    // The date part; 0 for an entry that has none, whose text begins with the
    // comma and so before every dated one.
    std::uint64_t date = 0;
    std::uint64_t steps = 0;

    auto operator<=>(const EntryTextKey&) const = default;
};

EntryTextKey EntryTextKeyOf(const StepRecord& record);
