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
