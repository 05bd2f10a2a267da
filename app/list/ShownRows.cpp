#include "ShownRows.h"

#include <algorithm>
#include <tuple>

#include "EntryDate.h"
#include "LocalDays.h"

std::optional<std::size_t> RowOfRecord(const std::vector<ShownEntry>& rows,
                                       const StepRecord& record) {
    const auto found = std::ranges::find(rows, record, &ShownEntry::record);
    if (found == rows.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - rows.begin());
}

std::optional<std::size_t> RowOfLatestDate(const std::vector<ShownEntry>& rows) {
    // Unpinned, every conversion looks TZ up in the environment, which the
    // Windows C runtime searches from the start each time.
    const LocalZonePin zone;
    std::optional<std::size_t> latestRow;
    std::tuple<int, int, int> latest;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        // Only a dated row's text has a date part, and the key tells which
        // rows have one without converting their dates.
        if (rows[row].key.date == 0)
            continue;
        const std::optional<LocalDate> date = EntryLocalDate(rows[row].record);
        if (!date)
            continue;
        const std::tuple<int, int, int> day(date->year, date->month, date->day);
        if (!latestRow || day >= latest) {
            latestRow = row;
            latest = day;
        }
    }
    return latestRow;
}
