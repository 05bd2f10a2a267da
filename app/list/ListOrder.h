#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "StepRecord.h"

// What the list's order and the CSV export take of a record, in 16 bytes
// rather than 24: an export of millions of entries holds only these.
struct ListedRecord {
    std::uint32_t steps = 0;
    std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    static ListedRecord Of(const StepRecord& record);
    // The record as far as these fields tell it, which is all its list text
    // depends on.
    StepRecord Record() const;
    bool operator==(const ListedRecord&) const = default;
};

// Visits the records (newest first, as the store scans them) in the order
// the entry list shows them: by list text, entries of equal text newest
// first. No text is formatted, and besides the records themselves at most
// 16 bytes an entry are held; for a diary in date order, only 16 bytes for
// each entry of one date.
void ForEachInListOrder(const std::vector<ListedRecord>& newestFirst,
                        const std::function<void(const ListedRecord&)>& visit);
