#include "ListOrder.h"

#include <algorithm>
#include <compare>
#include <cstdint>

#include "EntryText.h"

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

EntryTextKey KeyOf(const ListedRecord& record) {
    return EntryTextKeyOf(record.Record());
}

} // namespace

ListedRecord ListedRecord::Of(const StepRecord& r) {
    return {r.steps, r.year, r.month, r.day, r.hour, r.minute, r.second};
}

StepRecord ListedRecord::Record() const {
    StepRecord record;
    record.steps = steps;
    record.year = year;
    record.month = month;
    record.day = day;
    record.hour = hour;
    record.minute = minute;
    record.second = second;
    return record;
}

void ForEachInListOrder(const std::vector<ListedRecord>& newestFirst,
                        const std::function<void(const ListedRecord&)>& visit) {
    const std::size_t count = newestFirst.size();
    auto dateOf = [&](std::size_t i) { return KeyOf(newestFirst[i]).date; };
    std::vector<PlacedKey> order;
    auto visitInOrder = [&] {
        std::ranges::sort(order);
        for (const PlacedKey& placed : order)
            visit(newestFirst[placed.low & 0xFFFFFFFFu]);
        order.clear();
    };
    auto place = [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i)
            order.push_back(Place(KeyOf(newestFirst[i]), static_cast<std::uint32_t>(i)));
    };
    // A diary kept day by day is in date order read oldest first; then only
    // each date's entries are sorted among themselves, a date at a time.
    bool datesInOrder = true;
    for (std::size_t i = count; i-- > 1 && datesInOrder;)
        datesInOrder = dateOf(i) <= dateOf(i - 1);
    if (!datesInOrder) {
        order.reserve(count);
        place(0, count);
        visitInOrder();
        return;
    }
    for (std::size_t end = count; end > 0;) {
        const std::uint64_t date = dateOf(end - 1);
        std::size_t first = end - 1;
        while (first > 0 && dateOf(first - 1) == date)
            --first;
        place(first, end);
        visitInOrder();
        end = first;
    }
}
