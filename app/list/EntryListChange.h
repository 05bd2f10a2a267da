#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// One place where the shown rows and the wanted ones differ: the `removed`
// shown rows from `shownFirst` give way to the `inserted` wanted rows from
// `wantedFirst`. Applied in order, each at row `wantedFirst` of the list as
// changed so far, the changes turn the shown list into the wanted one.
struct EntryListChange {
    std::size_t shownFirst = 0;
    std::size_t removed = 0;
    std::size_t wantedFirst = 0;
    std::size_t inserted = 0;

    bool operator==(const EntryListChange&) const = default;
};

// Where shown row `row` is once the changes are made; none when they remove it.
std::optional<std::size_t> RowAfterChanges(const std::vector<EntryListChange>& changes,
                                           std::size_t row);
