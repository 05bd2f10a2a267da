#include "DayTotals.h"

#include <algorithm>
#include <limits>
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

// Whether the two records' dates and times of day are the same, and so their
// local dates.
bool SameDateFields(const StepRecord& a, const StepRecord& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

// Entries in date order: each day's run becomes its first, holding the total.
void AddUpSorted(std::vector<DayTotal>& entries) {
    auto kept = entries.begin();
    for (const DayTotal& entry : entries) {
        if (kept != entries.begin() && entry.date == std::prev(kept)->date)
            std::prev(kept)->steps += entry.steps;
        else
            *kept++ = entry;
    }
    entries.erase(kept, entries.end());
}

// Entries out of date order, as entries typed in for past days leave them,
// whose dates are no more than the entries: each is added at its day's place
// in the run of days from the first date to the last, which takes a fraction
// of a sort of a million entries.
std::vector<DayTotal> AddUpInPlaces(const std::vector<DayTotal>& entries,
                                    std::chrono::sys_days from, std::size_t span) {
    // No total comes near: a diary holds under 2^27 entries of under 2^32 steps.
    constexpr std::uint64_t kNoEntry = std::numeric_limits<std::uint64_t>::max();
    std::vector<std::uint64_t> byDay(span, kNoEntry);
    for (const DayTotal& entry : entries) {
        std::uint64_t& total = byDay[static_cast<std::size_t>((entry.date - from).count())];
        total = (total == kNoEntry ? 0 : total) + entry.steps;
    }
    std::vector<DayTotal> days;
    for (std::size_t i = 0; i < span; ++i)
        if (byDay[i] != kNoEntry)
            days.push_back({from + std::chrono::days(i), byDay[i]});
    return days;
}

} // namespace

std::optional<std::chrono::sys_days> EntryDays::Of(const StepRecord& record) {
    if (!last_ || !SameDateFields(*last_, record))
        day_ = EntryDay(record);
    last_ = record;
    return day_;
}

std::vector<DayTotal> AddUpDays(std::vector<DayTotal> entries) {
    if (!std::ranges::is_sorted(entries, {}, &DayTotal::date)) {
        const auto [first, last] = std::ranges::minmax_element(entries, {}, &DayTotal::date);
        const auto span = static_cast<std::size_t>((last->date - first->date).count()) + 1;
        if (span <= entries.size())
            return AddUpInPlaces(entries, first->date, span);
        std::ranges::sort(entries, {}, &DayTotal::date);
    }
    AddUpSorted(entries);
    return entries;
}

std::vector<DayTotal> DayTotalsOf(const std::vector<StepRecord>& newestFirst) {
    std::vector<DayTotal> entries;
    entries.reserve(newestFirst.size());
    // Oldest first: a diary kept day by day is then in date order already and
    // needs no sort.
    EntryDays days;
    for (auto record = newestFirst.rbegin(); record != newestFirst.rend(); ++record)
        if (const std::optional<std::chrono::sys_days> day = days.Of(*record))
            entries.push_back({*day, record->steps});
    return AddUpDays(std::move(entries));
}
