#include "ListDayTotals.h"

#include <algorithm>
#include <iterator>

using std::chrono::days;
using std::chrono::sys_days;

void ListDayTotals::Reset(const std::vector<ShownEntry>& rows) {
    rows_.clear();
    rows_.reserve(rows.size());
    std::vector<DayTotal> entries;
    entries.reserve(rows.size());
    EntryDays dayOf;
    for (const ShownEntry& row : rows) {
        const std::optional<sys_days> day = dayOf.Of(row.record);
        rows_.push_back({day ? static_cast<std::int32_t>(day->time_since_epoch().count()) : kNoDay,
                         row.record.steps});
        if (day)
            entries.push_back({*day, row.record.steps});
    }
    days_ = AddUpDays(std::move(entries));
    // The rows of one day mostly follow each other, in date order: the day
    // after the last one found is the first place to look.
    rowsOfDay_.assign(days_.size(), 0);
    std::size_t at = 0;
    for (const RowDay& row : rows_) {
        if (row.day == kNoDay)
            continue;
        const sys_days day{days{row.day}};
        if (at >= days_.size() || days_[at].date != day)
            at = static_cast<std::size_t>(
                std::ranges::lower_bound(days_, day, {}, &DayTotal::date) - days_.begin());
        ++rowsOfDay_[at];
    }
}

void ListDayTotals::Follow(const std::vector<EntryListChange>& changes,
                           const std::vector<ShownEntry>& rows) {
    EntryDays dayOf;
    for (const EntryListChange& change : changes) {
        const auto first = rows_.begin() + static_cast<std::ptrdiff_t>(change.wantedFirst);
        const auto last = first + static_cast<std::ptrdiff_t>(change.removed);
        for (auto row = first; row != last; ++row)
            Count(*row, false);
        std::vector<RowDay> inserted;
        inserted.reserve(change.inserted);
        for (std::size_t i = change.wantedFirst; i < change.wantedFirst + change.inserted; ++i) {
            const std::optional<sys_days> day = dayOf.Of(rows[i].record);
            inserted.push_back(
                {day ? static_cast<std::int32_t>(day->time_since_epoch().count()) : kNoDay,
                 rows[i].record.steps});
            Count(inserted.back(), true);
        }
        rows_.insert(rows_.erase(first, last), inserted.begin(), inserted.end());
    }
}

void ListDayTotals::Count(const RowDay& row, bool add) {
    if (row.day == kNoDay)
        return;
    const sys_days day{days{row.day}};
    const auto at = std::ranges::lower_bound(days_, day, {}, &DayTotal::date);
    const auto index = at - days_.begin();
    auto rowsOfDay = rowsOfDay_.begin() + index;
    if (add) {
        if (at == days_.end() || at->date != day) {
            days_.insert(at, DayTotal{day, row.steps});
            rowsOfDay_.insert(rowsOfDay, 1);
        } else {
            at->steps += row.steps;
            ++*rowsOfDay;
        }
    } else if (--*rowsOfDay == 0) {
        days_.erase(at);
        rowsOfDay_.erase(rowsOfDay);
    } else {
        at->steps -= row.steps;
    }
}
