#include "ListOrder.h"

#include <algorithm>
#include <compare>
#include <cstdint>

#include "EntryTextKey.h"

namespace {

// A list text's key and the record's place in 16 bytes: the key's date uses
// its top bit and its low 49 bits, the count's digit codes 40 bits, so both
// fit beside a 32-bit place, which breaks ties newest first.
struct PlacedKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    auto operator<=>(const PlacedKey&) const = default;
};

PlacedKey Place(const EntryTextKey& key, std::uint32_t place) {
    constexpr std::uint64_t kDateBits = (std::uint64_t{1} << 49) - 1;
    constexpr std::uint64_t kLowCountBits = (std::uint64_t{1} << 26) - 1;
    return {(key.date & ~(~std::uint64_t{0} >> 1)) | (key.date & kDateBits) << 14 | key.steps >> 26,
            (key.steps & kLowCountBits) << 32 | place};
}

} // namespace

void ForEachInListOrder(const std::vector<StepRecord>& newestFirst,
                        const std::function<void(const StepRecord&)>& visit) {
    const std::size_t count = newestFirst.size();
    // A diary kept day by day is in list order read oldest first; then each
    // run of equal keys is visited newest first and nothing is sorted.
    bool ordered = true;
    for (std::size_t i = count; i-- > 1 && ordered;)
        ordered = EntryTextKeyOf(newestFirst[i]) <= EntryTextKeyOf(newestFirst[i - 1]);
    if (ordered) {
        for (std::size_t end = count; end > 0;) {
            const EntryTextKey key = EntryTextKeyOf(newestFirst[end - 1]);
            std::size_t first = end - 1;
            while (first > 0 && EntryTextKeyOf(newestFirst[first - 1]) == key)
                --first;
            for (std::size_t i = first; i < end; ++i)
                visit(newestFirst[i]);
            end = first;
        }
        return;
    }
    std::vector<PlacedKey> order;
    order.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        order.push_back(Place(EntryTextKeyOf(newestFirst[i]), static_cast<std::uint32_t>(i)));
    std::ranges::sort(order);
    for (const PlacedKey& placed : order)
        visit(newestFirst[placed.low & 0xFFFFFFFFu]);
}
