#include "DayTotals.h"

#include <algorithm>
#include <optional>

#include "EntryDate.h"

namespace {

std::optional<std::chrono::sys_days> EntryDay(const StepRecord& record) {
    const std::optional<LocalDate> local = EntryLocalDate(record);
    if (!local || local->year > static_cast<int>(std::chrono::year::max()) ||
        local->year < static_cast<int>(std::chrono::year::min()))
        return std::nullopt;
    return std::chrono::sys_days(std::chrono::year(local->year) / local->month / local->day);
}

} // namespace

std::vector<DayTotal> DayTotalsOf(const std::vector<StepRecord>& newestFirst) {
    std::vector<DayTotal> days;
    days.reserve(newestFirst.size());
    // Oldest first: a diary kept day by day is then in date order already and
    // needs no sort.
    for (auto record = newestFirst.rbegin(); record != newestFirst.rend(); ++record)
        if (const std::optional<std::chrono::sys_days> day = EntryDay(*record))
            days.push_back({*day, record->steps});
    if (!std::ranges::is_sorted(days, {}, &DayTotal::date))
        std::ranges::sort(days, {}, &DayTotal::date);
    // Entries of one day lie side by side now; each run becomes its first.
    auto kept = days.begin();
    for (auto day = days.begin(); day != days.end(); ++day) {
        if (kept != days.begin() && day->date == std::prev(kept)->date)
            std::prev(kept)->steps += day->steps;
        else
            *kept++ = *day;
    }
    days.erase(kept, days.end());
    return days;
}
