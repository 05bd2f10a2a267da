#include "ImportMerge.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "DailySteps.h"
#include "EntryDate.h"

namespace {

// A calendar date as a record spells it, field by field, in 32 bits: year,
// month, day. Records whose fields make no real date never meet an imported
// row, and neither does a record whose month or day field is too large for
// any date.
std::uint32_t DateKey(std::uint16_t year, unsigned month, unsigned day) {
    return std::uint32_t{year} << 16 | month << 8 | day;
}

std::optional<std::uint32_t> DateKey(const StepRecord& record) {
    if (record.month > 0xFF || record.day > 0xFF)
        return std::nullopt;
    return DateKey(record.year, record.month, record.day);
}

// The key of the record that a row becomes (SetEntryDate keeps the year's
// low 16 bits).
std::uint32_t DateKey(std::chrono::year_month_day date) {
    return DateKey(static_cast<std::uint16_t>(static_cast<int>(date.year())),
                   static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
}

// The rows in date order, a date's rows in the file's order, as one number
// each: the date's key above the row's place in the file. Sorting plain
// numbers is several times quicker than a stable sort of the rows.
std::vector<std::uint64_t> ByDate(const std::vector<ImportedRow>& rows) {
    std::vector<std::uint64_t> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        order[i] = std::uint64_t{DateKey(rows[i].date)} << 32 | i;
    std::ranges::sort(order);
    return order;
}

constexpr std::uint32_t KeyOf(std::uint64_t ordered) {
    return static_cast<std::uint32_t>(ordered >> 32);
}

constexpr std::size_t RowOf(std::uint64_t ordered) {
    return static_cast<std::size_t>(ordered & 0xFFFFFFFFu);
}

} // namespace

ImportMerge MergeImport(const std::vector<PlacedRecord>& newestFirst,
                        const std::vector<ImportedRow>& rows, ConflictChoice choice) {
    std::unordered_map<std::uint32_t, std::uint64_t> diaryTotals;
    diaryTotals.reserve(newestFirst.size());
    for (const PlacedRecord& placed : newestFirst) {
        if (const std::optional<std::uint32_t> key = DateKey(placed.record)) {
            std::uint64_t& total = diaryTotals[*key];
            total = SaturatingAdd(total, placed.record.steps);
        }
    }

    const std::vector<std::uint64_t> order = ByDate(rows);
    ImportMerge merge;
    // The stretches of `order` whose rows become entries, counted first so
    // that the new records are made in one allocation.
    std::vector<std::pair<std::size_t, std::size_t>> taken;
    std::size_t takenRows = 0;
    std::unordered_set<std::uint32_t> replaced;
    for (std::size_t first = 0; first < order.size();) {
        const std::uint32_t key = KeyOf(order[first]);
        std::size_t last = first;
        std::uint64_t fileTotal = 0;
        for (; last < order.size() && KeyOf(order[last]) == key; ++last)
            fileTotal = SaturatingAdd(fileTotal, rows[RowOf(order[last])].steps);
        const auto diary = diaryTotals.find(key);
        bool take = false;
        if (diary == diaryTotals.end()) {
            take = true;
            merge.added += last - first;
        } else if (diary->second == fileTotal) {
            ++merge.unchanged;
        } else {
            merge.conflicts.push_back({rows[RowOf(order[first])].date, diary->second, fileTotal});
            if (choice == ConflictChoice::kUseFile) {
                take = true;
                replaced.insert(key);
            }
        }
        if (take) {
            taken.emplace_back(first, last);
            takenRows += last - first;
        }
        first = last;
    }

    merge.edit.added.reserve(takenRows);
    for (const auto& [first, last] : taken) {
        for (std::size_t i = first; i < last; ++i) {
            const ImportedRow& row = rows[RowOf(order[i])];
            StepRecord record;
            record.steps = row.steps;
            SetEntryDate(record, row.date);
            merge.edit.added.push_back(record);
        }
    }
    if (!replaced.empty())
        for (const PlacedRecord& placed : newestFirst)
            if (const std::optional<std::uint32_t> key = DateKey(placed.record);
                key && replaced.contains(*key))
                merge.edit.removed.push_back(placed.offset);
    return merge;
}
