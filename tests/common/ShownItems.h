#pragma once

#include <vector>

#include "EntryItems.h"
#include "EntryText.h"
#include "ShownEntries.h"

// The shown rows as the full build makes them, texts formatted, to be
// compared with it.
inline std::vector<EntryItem> TextItems(const std::vector<ShownEntry>& entries) {
    std::vector<EntryItem> items;
    for (const ShownEntry& entry : entries)
        items.push_back({EntryItemText(entry.record), entry.record});
    return items;
}
