#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "EntryText.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// Records of every kind a diary may hold: dates across 1601 to 9999, days
// around the clock changes, dates too early to convert, fields far out of
// range (which mktime carries into a year of five digits), and few enough
// counts and days that many texts are equal.
StepRecord RandomRecord(std::mt19937& random) {
    auto draw = [&random](std::uint32_t below) { return static_cast<int>(random() % below); };
    StepRecord record;
    switch (draw(6)) {
    case 0:
        record = DiaryEntry(0, 1601 + draw(8399), 1 + draw(12), 1 + draw(31));
        break;
    case 1: // spring and autumn, where the clocks change on either side of the year
        record = DiaryEntry(0, 1990 + draw(40), draw(2) == 0 ? 3 : 10 + draw(2), 20 + draw(12));
        record.hour = static_cast<std::uint16_t>(draw(4));
        break;
    case 2:
        record = DiaryEntry(0, draw(1700), 1 + draw(12), 1 + draw(28));
        break;
    case 3:
        for (std::uint16_t* field : {&record.year, &record.month, &record.day, &record.hour,
                                     &record.minute, &record.second})
            *field = static_cast<std::uint16_t>(random());
        break;
    default:
        record = DiaryEntry(0, 2000 + draw(3), 1 + draw(2), 1 + draw(3));
        break;
    }
    const std::uint32_t counts[] = {0, 9, 10, 99, 100, 950, 1000, 4294967294u, 4294967295u};
    record.steps =
        draw(2) == 0 ? counts[draw(std::size(counts))] : static_cast<std::uint32_t>(random());
    return record;
}

} // namespace

// Sorted by key, the texts come out in byte order, and two neighbours have
// equal keys exactly when their texts are equal: so keys and texts order every
// pair of records alike.
TEST(EntryTextKeyTest, KeysOrderAsTheTextsDoByteForByteInEveryZone) {
    std::mt19937 random(2019);
    for (const char* tz : {"UTC0", "JST-9", "EST5EDT,M3.2.0,M11.1.0", ":Europe/Berlin",
                           ":Pacific/Apia", ":America/Los_Angeles"}) {
        ScopedTimeZone zone(tz);
        std::vector<StepRecord> records(20000);
        std::ranges::generate(records, [&random] { return RandomRecord(random); });
        std::vector<std::string> texts;
        std::vector<EntryTextKey> keys;
        for (const StepRecord& record : records) {
            texts.push_back(EntryItemText(record));
            keys.push_back(EntryTextKeyOf(record));
        }
        std::vector<std::size_t> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        std::ranges::sort(order,
                          [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        for (std::size_t i = 1; i < order.size(); ++i) {
            const std::size_t a = order[i - 1];
            const std::size_t b = order[i];
            ASSERT_LE(texts[a], texts[b]) << tz;
            ASSERT_EQ(keys[a] == keys[b], texts[a] == texts[b]) << tz << ": " << texts[a];
        }
    }
}
