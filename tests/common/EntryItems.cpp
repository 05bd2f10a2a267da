#include "EntryItems.h"

#include <algorithm>

#include "DiaryCommands.h"
#include "EntryText.h"

std::vector<EntryItem> BuildEntryItems(const std::vector<StepRecord>& records) {
    std::vector<EntryItem> items;
    items.reserve(records.size());
    for (const StepRecord& record : records)
        items.push_back({EntryItemText(record), record});
    // std::string compares as unsigned bytes, unlike a locale's collation.
    std::ranges::stable_sort(items, {}, &EntryItem::text);
    return items;
}

std::vector<EntryListChange> DiffEntryItems(const std::vector<EntryItem>& shown,
                                            const std::vector<EntryItem>& wanted) {
    // Both lists are sorted by text, so a merge finds every row that is only
    // in one of them. Among rows of equal text, a new record comes before the
    // older ones (it is newer): a shown row that the next wanted row repeats
    // stays, and the wanted row before it is the inserted one.
    std::vector<EntryListChange> changes;
    std::size_t s = 0;
    std::size_t w = 0;
    auto same = [&](std::size_t shownRow, std::size_t wantedRow) {
        return shownRow < shown.size() && wantedRow < wanted.size() &&
               shown[shownRow] == wanted[wantedRow];
    };
    while (s < shown.size() || w < wanted.size()) {
        if (same(s, w)) {
            ++s;
            ++w;
            continue;
        }
        EntryListChange change{s, 0, w, 0};
        while ((s < shown.size() || w < wanted.size()) && !same(s, w)) {
            const bool shownFirst =
                w == wanted.size() ||
                (s < shown.size() && (shown[s].text < wanted[w].text ||
                                      (shown[s].text == wanted[w].text && !same(s, w + 1))));
            if (shownFirst) {
                ++s;
                ++change.removed;
            } else {
                ++w;
                ++change.inserted;
            }
        }
        changes.push_back(change);
    }
    return changes;
}

std::optional<std::vector<EntryItem>> LoadEntryItems(const DiaryFiles& files, CommandOutcome* why) {
    std::optional<std::vector<StepRecord>> records = LoadEntryRecords(files, why);
    if (!records)
        return std::nullopt;
    return BuildEntryItems(*records);
}
