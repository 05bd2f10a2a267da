#include "EntryList.h"

#include <algorithm>

#include "EntryDate.h"

std::string EntryItemText(const StepRecord& record) {
    return FormatEntryTime(EntryTime(record), "Date: %Y.%m.%d") +
           ", steps: " + std::to_string(record.steps);
}

std::vector<EntryItem> BuildEntryItems(const std::vector<StepRecord>& records) {
    std::vector<EntryItem> items;
    items.reserve(records.size());
    for (const StepRecord& record : records)
        items.push_back({EntryItemText(record), record.identifier});
    // std::string compares as unsigned bytes, unlike a locale's collation.
    std::ranges::stable_sort(items, {}, &EntryItem::text);
    return items;
}

EntryListChange DiffEntryItems(const std::vector<EntryItem>& shown,
                               const std::vector<EntryItem>& wanted) {
    const std::size_t common = std::min(shown.size(), wanted.size());
    std::size_t prefix = 0;
    while (prefix < common && shown[prefix] == wanted[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < common - prefix &&
           shown[shown.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix])
        ++suffix;
    return {prefix, shown.size() - prefix - suffix, wanted.size() - prefix - suffix};
}
