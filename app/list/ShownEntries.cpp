#include "ShownEntries.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "LocalDays.h"

namespace {

std::vector<ShownEntry> EntriesOf(const std::vector<StepRecord>& records,
                                  std::size_t roomToGrow = 0) {
    std::vector<ShownEntry> entries;
    entries.reserve(records.size() + roomToGrow);
    for (const StepRecord& record : records)
        entries.push_back({EntryTextKeyOf(record), record});
    return entries;
}

// The rows of a merge of the list's changes: each at row `shown` of the list
// before, and row `wanted` of the list as changed so far.
void NoteChange(std::vector<EntryListChange>& changes, std::size_t shown, std::size_t wanted,
                std::size_t removed, std::size_t inserted) {
    if (!changes.empty()) {
        EntryListChange& last = changes.back();
        if (last.shownFirst + last.removed == shown && last.wantedFirst + last.inserted == wanted) {
            last.removed += removed;
            last.inserted += inserted;
            return;
        }
    }
    changes.push_back({shown, removed, wanted, inserted});
}

// The list changes of removing the rows `gone` (ascending, rows of the list
// before) and inserting rows at `placed` (ascending, rows of the list after).
std::vector<EntryListChange> ListChanges(const std::vector<std::size_t>& gone,
                                         const std::vector<std::size_t>& placed) {
    std::vector<EntryListChange> changes;
    // How far the kept rows have moved so far: their row after less before.
    std::ptrdiff_t moved = 0;
    const auto by = [&moved](std::size_t row, std::ptrdiff_t sign) {
        return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(row) + sign * moved);
    };
    std::size_t g = 0;
    std::size_t p = 0;
    while (g < gone.size() || p < placed.size()) {
        const std::size_t goneWanted = g < gone.size() ? by(gone[g], 1) : 0;
        if (g < gone.size() && (p == placed.size() || goneWanted <= placed[p])) {
            NoteChange(changes, gone[g++], goneWanted, 1, 0);
            --moved;
        } else {
            NoteChange(changes, by(placed[p], -1), placed[p], 0, 1);
            ++p;
            ++moved;
        }
    }
    return changes;
}

} // namespace

std::vector<ShownEntry> BuildShownEntries(const std::vector<StepRecord>& records) {
    const LocalZonePin zone;
    // Room for the entries of days to come, so that an Add does not copy
    // every row into a larger array; in a diary large enough for that to
    // matter, room never written takes no memory.
    std::vector<ShownEntry> entries = EntriesOf(records, records.size() / 8 + 64);
    // A diary written day by day scans in exactly the reverse order: then
    // turning it round is the whole sort.
    const auto notAfter = [](const ShownEntry& a, const ShownEntry& b) { return a.key <= b.key; };
    if (std::ranges::adjacent_find(entries, notAfter) == entries.end())
        std::ranges::reverse(entries);
    else
        std::ranges::stable_sort(entries, {}, &ShownEntry::key);
    return entries;
}

RecordChange FindRecordChange(const std::vector<StepRecord>& before,
                              const std::vector<StepRecord>& after) {
    // In the file's order, oldest first: the records of `before` that `after`
    // holds in the same order are kept, the others removed, and whatever
    // `after` holds past the last kept one was added. A delete or a rewrite
    // keeps its survivors in order and adds only at the end.
    RecordChange change;
    auto next = after.rbegin();
    for (auto old = before.rbegin(); old != before.rend(); ++old) {
        if (next != after.rend() && *next == *old)
            ++next;
        else
            change.removed.push_back(static_cast<std::size_t>(before.rend() - old) - 1);
    }
    change.added.assign(after.begin(), next.base());
    return change;
}

std::optional<std::vector<EntryListChange>> ApplyRecordChange(std::vector<ShownEntry>& entries,
                                                              const std::vector<StepRecord>& before,
                                                              const RecordChange& change) {
    // Everything that can fail is done before the entries are touched.
    std::vector<std::size_t> gone;
    gone.reserve(change.removed.size());
    std::vector<bool> taken(change.removed.empty() ? 0 : entries.size(), false);
    for (const std::size_t place : change.removed) {
        if (place >= before.size())
            return std::nullopt;
        const StepRecord& record = before[place];
        const EntryTextKey key = EntryTextKeyOf(record);
        const auto first = std::ranges::lower_bound(entries, key, {}, &ShownEntry::key);
        const auto last = std::ranges::upper_bound(first, entries.end(), key, {}, &ShownEntry::key);
        const auto same = [&record](const ShownEntry& entry) { return entry.record == record; };
        auto match = std::find_if(first, last, same);
        // Copies of one record (a file written by hand may hold them) are
        // rows of one text in scan order: the copy gone is the one as many
        // copies after the first as the scan had newer ones.
        if (match != last && std::find_if(match + 1, last, same) != last) {
            for (auto newer = std::count(
                     before.begin(), before.begin() + static_cast<std::ptrdiff_t>(place), record);
                 newer > 0 && match != last; --newer)
                match = std::find_if(match + 1, last, same);
        }
        if (match == last || taken[static_cast<std::size_t>(match - entries.begin())])
            return std::nullopt;
        gone.push_back(static_cast<std::size_t>(match - entries.begin()));
        taken[gone.back()] = true;
    }
    std::ranges::sort(gone);

    // The added records are newer than every kept one: among equal texts
    // they come first, in scan order as the full sort would place them.
    std::vector<ShownEntry> added = EntriesOf(change.added);
    std::ranges::stable_sort(added, {}, &ShownEntry::key);
    std::vector<std::size_t> placed;
    placed.reserve(added.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
        const auto above = static_cast<std::size_t>(
            std::ranges::lower_bound(entries, added[i].key, {}, &ShownEntry::key) -
            entries.begin());
        const auto goneAbove =
            static_cast<std::size_t>(std::ranges::lower_bound(gone, above) - gone.begin());
        placed.push_back(above - goneAbove + i);
    }
    std::vector<EntryListChange> changes = ListChanges(gone, placed);
    const std::size_t size = entries.size() - gone.size() + added.size();
    if (size > entries.capacity())
        entries.reserve(std::max(size, entries.capacity() + entries.capacity() / 2));

    // From here on nothing throws: the entries are plain bytes, moved by
    // runs between the changed rows.
    if (!gone.empty()) {
        auto write = entries.begin() + static_cast<std::ptrdiff_t>(gone.front());
        for (std::size_t g = 0; g < gone.size(); ++g) {
            const auto from = entries.begin() + static_cast<std::ptrdiff_t>(gone[g] + 1);
            const auto to = g + 1 < gone.size()
                                ? entries.begin() + static_cast<std::ptrdiff_t>(gone[g + 1])
                                : entries.end();
            write = std::move(from, to, write);
        }
        entries.erase(write, entries.end());
    }
    if (!added.empty()) {
        const std::size_t kept = entries.size();
        entries.resize(size);
        // From the end down, each kept run moves up by the added rows after it.
        auto end = entries.begin() + static_cast<std::ptrdiff_t>(kept);
        for (std::size_t i = added.size(); i-- > 0;) {
            const auto at = entries.begin() + static_cast<std::ptrdiff_t>(placed[i] - i);
            const auto target = entries.begin() + static_cast<std::ptrdiff_t>(placed[i] + 1);
            std::move_backward(at, end, target + (end - at));
            entries[placed[i]] = added[i];
            end = at;
        }
    }
    return changes;
}
