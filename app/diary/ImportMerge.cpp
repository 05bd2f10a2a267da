#include "ImportMerge.h"

#include <algorithm>
#include <optional>
#include <span>
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

// The diary's total for each date it has entries for, in date order, so
// that the import's dates, also in date order, meet them in one walk.
struct DateTotal {
    std::uint32_t key = 0;
    std::uint64_t total = 0;
};

std::vector<DateTotal> DiaryTotals(const std::vector<PlacedRecord>& newestFirst) {
    // Taken oldest first: a diary kept day by day is then in date order
    // already, and a diary of a million entries needs no sort.
    std::vector<DateTotal> totals;
    totals.reserve(newestFirst.size());
    for (auto placed = newestFirst.rbegin(); placed != newestFirst.rend(); ++placed)
        if (const std::optional<std::uint32_t> key = DateKey(placed->record))
            totals.push_back({*key, placed->record.steps});
    if (!std::ranges::is_sorted(totals, {}, &DateTotal::key))
        std::ranges::sort(totals, {}, &DateTotal::key);
    // A date's entries become one total, in place.
    std::size_t dates = 0;
    for (const DateTotal entry : totals) {
        if (dates == 0 || totals[dates - 1].key != entry.key)
            totals[dates++] = {entry.key, 0};
        totals[dates - 1].total = SaturatingAdd(totals[dates - 1].total, entry.total);
    }
    totals.resize(dates);
    return totals;
}

// Calls visit(key, rows) with each date's rows, dates in key order, a date's
// rows in the file's order. Files are nearly always written in date order,
// oldest or newest first, and are then taken as they lie; only others are
// sorted, as one number per row (the date's key above the row's place in
// the file), which sorts several times quicker than the rows themselves.
template <typename Visit> void ForEachDate(const std::vector<ImportedRow>& rows, Visit visit) {
    auto key = [&](std::size_t i) { return DateKey(rows[i].date); };
    bool ascending = true;
    bool descending = true;
    for (std::size_t i = 1; i < rows.size() && (ascending || descending); ++i) {
        ascending = ascending && key(i - 1) <= key(i);
        descending = descending && key(i - 1) >= key(i);
    }
    const std::span<const ImportedRow> all(rows);
    if (ascending) {
        for (std::size_t first = 0, last = 0; first < rows.size(); first = last) {
            const std::uint32_t date = key(first);
            while (last < rows.size() && key(last) == date)
                ++last;
            visit(date, all.subspan(first, last - first));
        }
    } else if (descending) {
        for (std::size_t last = rows.size(), first = last; last > 0; last = first) {
            const std::uint32_t date = key(last - 1);
            while (first > 0 && key(first - 1) == date)
                --first;
            visit(date, all.subspan(first, last - first));
        }
    } else {
        std::vector<std::uint64_t> order(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            order[i] = std::uint64_t{key(i)} << 32 | i;
        std::ranges::sort(order);
        std::vector<ImportedRow> byDate;
        byDate.reserve(rows.size());
        for (std::uint64_t ordered : order)
            byDate.push_back(rows[static_cast<std::size_t>(ordered & 0xFFFFFFFFu)]);
        ForEachDate(byDate, visit);
    }
}

} // namespace

ImportMerge MergeImport(const std::vector<PlacedRecord>& newestFirst,
                        const std::vector<ImportedRow>& rows, ConflictChoice choice,
                        const std::vector<DateConflict>* agreed) {
    auto isAgreed = [agreed](const DateConflict& conflict) {
        if (!agreed)
            return true;
        const auto shown =
            std::ranges::lower_bound(*agreed, conflict.date, {}, &DateConflict::date);
        return shown != agreed->end() && *shown == conflict;
    };
    const std::vector<DateTotal> diaryTotals = DiaryTotals(newestFirst);
    auto diary = diaryTotals.begin();
    ImportMerge merge;
    // Room for every row; what no row fills is never touched.
    merge.edit.added.reserve(rows.size());
    std::vector<std::uint32_t> replaced; // in date order
    ForEachDate(rows, [&](std::uint32_t key, std::span<const ImportedRow> day) {
        std::uint64_t fileTotal = 0;
        for (const ImportedRow& row : day)
            fileTotal = SaturatingAdd(fileTotal, row.steps);
        while (diary != diaryTotals.end() && diary->key < key)
            ++diary;
        bool take = false;
        if (diary == diaryTotals.end() || diary->key != key) {
            take = true;
            merge.added += day.size();
        } else if (diary->total == fileTotal) {
            ++merge.unchanged;
        } else {
            merge.conflicts.push_back({day.front().date, diary->total, fileTotal});
            if (choice == ConflictChoice::kUseFile && isAgreed(merge.conflicts.back())) {
                take = true;
                replaced.push_back(key);
            }
        }
        if (!take)
            return;
        // The weekday is worked out once for the date, not once for each row:
        // a key stands for one date, as a date's year lies within 16 bits.
        StepRecord record;
        SetEntryDate(record, day.front().date);
        for (const ImportedRow& row : day) {
            record.steps = row.steps;
            merge.edit.added.push_back(record);
        }
    });
    merge.replaced = replaced.size();
    if (!replaced.empty())
        for (const PlacedRecord& placed : newestFirst)
            if (const std::optional<std::uint32_t> key = DateKey(placed.record);
                key && std::ranges::binary_search(replaced, *key))
                merge.edit.removed.push_back(placed.offset);
    return merge;
}
