#include "EntryListChange.h"

std::optional<std::size_t> RowAfterChanges(const std::vector<EntryListChange>& changes,
                                           std::size_t row) {
    std::size_t moved = row;
    for (const EntryListChange& change : changes) {
        if (row < change.shownFirst)
            break;
        if (row < change.shownFirst + change.removed)
            return std::nullopt;
        moved = moved + change.inserted - change.removed;
    }
    return moved;
}
