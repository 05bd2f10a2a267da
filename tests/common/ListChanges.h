#pragma once

#include <cstddef>
#include <vector>

#include "EntryItems.h"

// The shown rows with the changes made, one after another, at the rows the
// changed list has so far, as a list box makes them; the inserted rows are
// taken from `wanted`.
template <typename Row>
std::vector<Row> ApplyListChanges(std::vector<Row> rows, const std::vector<Row>& wanted,
                                  const std::vector<EntryListChange>& changes) {
    for (const EntryListChange& change : changes) {
        auto at = rows.begin() + static_cast<std::ptrdiff_t>(change.wantedFirst);
        at = rows.erase(at, at + static_cast<std::ptrdiff_t>(change.removed));
        auto from = wanted.begin() + static_cast<std::ptrdiff_t>(change.wantedFirst);
        rows.insert(at, from, from + static_cast<std::ptrdiff_t>(change.inserted));
    }
    return rows;
}
