#include "ShownDayTotals.h"

std::vector<DayTotal> DayTotalsOfShown(const std::vector<ShownEntry>& rows) {
    // The list's order is its texts' byte order, which is date order, oldest
    // first, for every date a list text holds; handed over newest first, as
    // a scan has them, the totals come out in date order with no sort.
    std::vector<StepRecord> newestFirst;
    newestFirst.reserve(rows.size());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        newestFirst.push_back(row->record);
    return DayTotalsOf(newestFirst);
}
