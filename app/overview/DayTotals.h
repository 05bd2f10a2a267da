#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "StepRecord.h"

// The steps of one calendar day: the sum of the counts of its entries, in 64
// bits, as a few entries near the largest count would pass 32.
struct DayTotal {
    std::chrono::sys_days date;
    std::uint64_t steps = 0;

    bool operator==(const DayTotal&) const = default;
};

// One total for each date that has an entry, in date order, from the records
// the list shows (as a scan of the diary gives them, newest first, so never
// read twice). Each entry counts on the date its list text shows
// (EntryLocalDate), so the figures and the list agree in every zone and on
// the days the clocks change. Left out: an entry the list shows without a
// date, which belongs to no day, and one whose date lies past the years a
// calendar date holds, which is after every day the figures are asked for.
std::vector<DayTotal> DayTotalsOf(const std::vector<StepRecord>& newestFirst);
