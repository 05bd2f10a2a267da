#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "LocalDays.h"
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

// The days a run of entries count on, taken one entry at a time. Each
// counts on the date its list text shows (EntryLocalDate); none for an entry
// the list shows without a date or past the years a calendar date holds.
// The conversion costs more than all the rest of a day total, and the
// entries of one day mostly lie side by side: the date of the entry before
// is taken again when its date fields are the same, and the zone is looked
// up once for the whole run.
class EntryDays {
public:
    std::optional<std::chrono::sys_days> Of(const StepRecord& record);

private:
    LocalZonePin zone_;
    std::optional<StepRecord> last_;
    std::optional<std::chrono::sys_days> day_;
};

// The entries' steps (dated, in any order) added up into one total a day,
// in date order.
std::vector<DayTotal> AddUpDays(std::vector<DayTotal> entries);
