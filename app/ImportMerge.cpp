#include "ImportMerge.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "DailySteps.h"
#include "EntryDate.h"

namespace {

// A calendar date as a diary record spells it, field by field: records whose
// fields make no real date never meet an imported row.
std::uint64_t DateKey(unsigned year, unsigned month, unsigned day) {
    return std::uint64_t{year} << 32 | month << 16 | day;
}

std::uint64_t DateKey(const StepRecord& record) {
    return DateKey(record.year, record.month, record.day);
}

std::uint64_t DateKey(std::chrono::year_month_day date) {
    return DateKey(static_cast<unsigned>(static_cast<int>(date.year())),
                   static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
}

void AddEntries(std::vector<ImportedRow>::const_iterator first,
                std::vector<ImportedRow>::const_iterator last, std::vector<StepRecord>& added) {
    for (; first != last; ++first) {
        StepRecord record;
        record.steps = first->steps;
        SetEntryDate(record, first->date);
        added.push_back(record);
    }
}

} // namespace

ImportMerge MergeImport(const std::vector<PlacedRecord>& newestFirst,
                        const std::vector<ImportedRow>& rows, ConflictChoice choice) {
    std::unordered_map<std::uint64_t, std::uint64_t> diaryTotals;
    diaryTotals.reserve(newestFirst.size());
    for (const PlacedRecord& placed : newestFirst) {
        std::uint64_t& total = diaryTotals[DateKey(placed.record)];
        total = SaturatingAdd(total, placed.record.steps);
    }

    std::vector<ImportedRow> byDate(rows);
    std::ranges::stable_sort(byDate, {}, [](const ImportedRow& row) { return DateKey(row.date); });

    ImportMerge merge;
    std::unordered_set<std::uint64_t> replaced;
    for (auto first = byDate.cbegin(); first != byDate.cend();) {
        const std::uint64_t key = DateKey(first->date);
        auto last = std::find_if(first, byDate.cend(), [key](const ImportedRow& row) {
            return DateKey(row.date) != key;
        });
        std::uint64_t fileTotal = 0;
        for (auto row = first; row != last; ++row)
            fileTotal = SaturatingAdd(fileTotal, row->steps);
        const auto diary = diaryTotals.find(key);
        if (diary == diaryTotals.end()) {
            AddEntries(first, last, merge.edit.added);
            merge.added += static_cast<std::size_t>(last - first);
        } else if (diary->second == fileTotal) {
            ++merge.unchanged;
        } else {
            merge.conflicts.push_back({first->date, diary->second, fileTotal});
            if (choice == ConflictChoice::kUseFile) {
                AddEntries(first, last, merge.edit.added);
                replaced.insert(key);
            }
        }
        first = last;
    }
    if (!replaced.empty())
        for (const PlacedRecord& placed : newestFirst)
            if (replaced.contains(DateKey(placed.record)))
                merge.edit.removed.push_back(placed.offset);
    return merge;
}
