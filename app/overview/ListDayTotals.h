#pragma once

#include <cstdint>
#include <vector>

#include "DayTotals.h"
#include "EntryListChange.h"
#include "ShownEntries.h"

// The day totals of the rows a window's list shows, as DayTotalsOf gives
// them for the same records read from the diary. They follow the list's
// changes rather than being counted afresh: an Add touches one day, not a
// diary of a hundred thousand entries, and the diary is never read again.
class ListDayTotals {
public:
    // Counts the rows from scratch.
    void Reset(const std::vector<ShownEntry>& rows);
    // Follows the changes that made the list into `rows`.
    void Follow(const std::vector<EntryListChange>& changes, const std::vector<ShownEntry>& rows);

    // In date order.
    const std::vector<DayTotal>& Days() const { return days_; }

private:
    // A row's day as a day number, and its steps; kNoDay for a row that
    // belongs to no day.
    struct RowDay {
        std::int32_t day;
        std::uint32_t steps;
    };
    static constexpr std::int32_t kNoDay = INT32_MIN;

    void Count(const RowDay& row, bool add);

    std::vector<RowDay> rows_;
    std::vector<DayTotal> days_;
    // How many rows each of days_ holds: a day stays while it has a row,
    // even one of 0 steps.
    std::vector<std::uint32_t> rowsOfDay_;
};
