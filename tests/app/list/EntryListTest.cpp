#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "EntryItems.h"
#include "EntryText.h"
#include "ListChanges.h"
#include "ListOrder.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// As a backwards scan yields them: newest appended first.
std::vector<StepRecord> OutOfOrderDiary() {
    return {
        DiaryEntry(900, 2006, 5, 5, 7), DiaryEntry(1000, 2006, 5, 5, 6),
        DiaryEntry(500, 2040, 1, 1, 5), DiaryEntry(77, 1960, 6, 1, 4),
        DiaryEntry(950, 2006, 4, 3, 3), DiaryEntry(12000, 1999, 12, 31, 2),
        DiaryEntry(5, 1200, 1, 1, 1), // too early to date: shown at the start of calendar time
    };
}

using TextAndIdentifier = std::pair<std::string, std::uint32_t>;

std::vector<TextAndIdentifier> TextsAndIdentifiers(const std::vector<EntryItem>& items) {
    std::vector<TextAndIdentifier> shown;
    for (const EntryItem& item : items)
        shown.emplace_back(item.text, item.record.identifier);
    return shown;
}

} // namespace

TEST(EntryListTest, ItemsAreInDateOrderWithTheirIdentifiersInEveryZone) {
    struct Zone {
        const char* tz;
        const char* undatableText;
    };
    for (Zone zone :
         {Zone{"UTC0", "Date: 1970.01.01, steps: 5"}, Zone{"JST-9", "Date: 1970.01.01, steps: 5"},
          Zone{"EST5EDT,M3.2.0,M11.1.0", "Date: 1969.12.31, steps: 5"}}) {
        ScopedTimeZone timeZone(zone.tz);
        std::vector<TextAndIdentifier> expected = {
            {"Date: 1960.06.01, steps: 77", 4},    {zone.undatableText, 1},
            {"Date: 1999.12.31, steps: 12000", 2}, {"Date: 2006.04.03, steps: 950", 3},
            {"Date: 2006.05.05, steps: 1000", 6},  {"Date: 2006.05.05, steps: 900", 7},
            {"Date: 2040.01.01, steps: 500", 5},
        };
        EXPECT_EQ(TextsAndIdentifiers(BuildEntryItems(OutOfOrderDiary())), expected) << zone.tz;
    }
}

TEST(EntryListTest, DaylightSavingChangeDaysKeepTheirDate) {
    ScopedTimeZone timeZone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(EntryItemText(DiaryEntry(1, 2006, 4, 2, 1)), "Date: 2006.04.02, steps: 1");
    EXPECT_EQ(EntryItemText(DiaryEntry(1, 2006, 10, 29, 1)), "Date: 2006.10.29, steps: 1");
    EXPECT_EQ(EntryItemText(DiaryEntry(4294967294u, 2006, 3, 12, 1)),
              "Date: 2006.03.12, steps: 4294967294");
}

TEST(EntryListTest, EqualTextsKeepTheScanOrderSoEachKeepsItsIdentifier) {
    ScopedTimeZone timeZone("UTC0");
    std::vector<EntryItem> items =
        BuildEntryItems({DiaryEntry(10, 2006, 1, 2, 9), DiaryEntry(10, 2006, 1, 2, 4),
                         DiaryEntry(3, 2005, 1, 1, 2)});
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].record.identifier, 2u);
    EXPECT_EQ(items[1].record.identifier, 9u);
    EXPECT_EQ(items[2].record.identifier, 4u);
}

namespace {

std::vector<EntryItem> Items(std::initializer_list<std::uint32_t> ids) {
    std::vector<EntryItem> list;
    // Ids of one ten share a text; texts sort as their numbers do.
    for (std::uint32_t id : ids)
        list.push_back(
            {"item " + std::to_string(100000 + id / 10), DiaryEntry(id, 2006, 1, 1, id)});
    return list;
}

} // namespace

TEST(EntryListTest, OnlyTheRowsThatDifferAreReplaced) {
    using Changes = std::vector<EntryListChange>;
    struct Case {
        std::vector<EntryItem> shown, wanted;
        Changes changes;
    };
    const std::vector<Case> cases = {
        {Items({}), Items({10, 20, 30}), {{0, 0, 0, 3}}},
        {Items({10, 20, 30}), Items({10, 15, 20, 30}), {{1, 0, 1, 1}}},
        {Items({10, 20, 30}), Items({10, 30}), {{1, 1, 1, 0}}},
        {Items({10, 20, 30}), Items({10, 20, 30}), {}},
        {Items({10, 20, 30}), Items({}), {{0, 3, 0, 0}}},
        // Changes in two places are two changes; the rows between stay.
        {Items({10, 20, 30, 40, 50}), Items({20, 30, 40, 45, 50}), {{0, 1, 0, 0}, {4, 0, 3, 1}}},
        // Rows of one text: a new entry comes first, older ones stay.
        {Items({21, 22}), Items({23, 21, 22}), {{0, 0, 0, 1}}},
        {Items({21, 22, 23}), Items({21, 23}), {{1, 1, 1, 0}}},
        // The same text with another record behind it is a different row.
        {Items({10, 21}), Items({10, 22}), {{1, 1, 1, 1}}},
    };
    for (const Case& c : cases) {
        const Changes changes = DiffEntryItems(c.shown, c.wanted);
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(ApplyListChanges(c.shown, c.wanted, changes), c.wanted);
    }
}

TEST(EntryListTest, ChangesInManyPlacesTouchOnlyTheRowsThatDiffer) {
    std::mt19937 random(18);
    for (int round = 0; round < 200; ++round) {
        std::set<std::uint32_t> shownIds, wantedIds;
        for (std::uint32_t id = 0; id < 300; ++id) {
            const auto draw = random() % 20;
            if (draw != 0)
                shownIds.insert(id * 10);
            if (draw != 1 && (draw != 0 || random() % 2 == 0))
                wantedIds.insert(id * 10);
        }
        std::vector<EntryItem> shown, wanted;
        for (std::uint32_t id : shownIds)
            shown.push_back(Items({id}).front());
        for (std::uint32_t id : wantedIds)
            wanted.push_back(Items({id}).front());
        const std::vector<EntryListChange> changes = DiffEntryItems(shown, wanted);
        ASSERT_EQ(ApplyListChanges(shown, wanted, changes), wanted) << round;

        std::size_t touched = 0, differing = 0;
        for (const EntryListChange& change : changes)
            touched += change.removed + change.inserted;
        for (std::uint32_t id : shownIds)
            differing += wantedIds.count(id) == 0;
        for (std::uint32_t id : wantedIds)
            differing += shownIds.count(id) == 0;
        EXPECT_EQ(touched, differing) << round;
    }
}

TEST(EntryListTest, ARowKeepsItsPlaceThroughTheChangesUnlessRemoved) {
    const std::vector<EntryListChange> changes = {{1, 1, 1, 0}, {4, 0, 3, 2}};
    const std::vector<std::optional<std::size_t>> after = {0, std::nullopt, 1, 2, 5, 6};
    for (std::size_t row = 0; row < after.size(); ++row)
        EXPECT_EQ(RowAfterChanges(changes, row), after[row]) << row;
}

// The export walks the records in list order without making the list: for
// diaries in date order, shuffled, with repeated entries and undatable ones,
// the order is the built list's, entries of equal text newest first.
TEST(EntryListTest, ListOrderWithoutTextsIsTheBuiltListsOrder) {
    ScopedTimeZone west("EST5EDT"); // where undatable entries read as 1969
    std::minstd_rand random(11);
    auto randomRecord = [&](std::uint32_t identifier) {
        const int kinds[] = {2006, 2006, 1999, 1200, 9999};
        return DiaryEntry(static_cast<std::uint32_t>(random() % 3 * 450), kinds[random() % 5],
                          static_cast<int>(random() % 13), static_cast<int>(1 + random() % 3),
                          identifier);
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<StepRecord> newestFirst;
        const std::uint32_t count = static_cast<std::uint32_t>(random() % 40);
        for (std::uint32_t id = count; id > 0; --id)
            newestFirst.push_back(randomRecord(id));
        auto datePart = [](const StepRecord& r) {
            const std::string text = EntryItemText(r);
            return text.substr(0, text.find(','));
        };
        if (round % 2 == 0) // as a diary kept day by day lies, a day's entries in any order
            std::ranges::sort(newestFirst, [&](const StepRecord& a, const StepRecord& b) {
                return datePart(b) < datePart(a);
            });
        std::vector<ListedRecord> listedFirst, visited, listed;
        for (const StepRecord& r : newestFirst)
            listedFirst.push_back(ListedRecord::Of(r));
        ForEachInListOrder(listedFirst, [&](const ListedRecord& r) { visited.push_back(r); });
        for (const EntryItem& item : BuildEntryItems(newestFirst))
            listed.push_back(ListedRecord::Of(item.record));
        ASSERT_EQ(visited, listed) << "round " << round;
    }
}
