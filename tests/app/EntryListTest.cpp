#include <gtest/gtest.h>

#include <vector>

#include "EntryList.h"
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
        std::vector<EntryItem> expected = {
            {"Date: 1960.06.01, steps: 77", 4},    {zone.undatableText, 1},
            {"Date: 1999.12.31, steps: 12000", 2}, {"Date: 2006.04.03, steps: 950", 3},
            {"Date: 2006.05.05, steps: 1000", 6},  {"Date: 2006.05.05, steps: 900", 7},
            {"Date: 2040.01.01, steps: 500", 5},
        };
        EXPECT_EQ(BuildEntryItems(OutOfOrderDiary()), expected) << zone.tz;
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
    EXPECT_EQ(items[0].identifier, 2u);
    EXPECT_EQ(items[1].identifier, 9u);
    EXPECT_EQ(items[2].identifier, 4u);
}

TEST(EntryListTest, OnlyTheRowsThatDifferAreReplaced) {
    auto items = [](std::initializer_list<std::uint32_t> ids) {
        std::vector<EntryItem> list;
        for (std::uint32_t id : ids)
            list.push_back({"item " + std::to_string(id), id});
        return list;
    };
    auto check = [](const std::vector<EntryItem>& shown, const std::vector<EntryItem>& wanted) {
        EntryListChange change = DiffEntryItems(shown, wanted);
        // Applying the change to the shown rows gives exactly the wanted ones.
        std::vector<EntryItem> result(shown.begin(), shown.begin() + change.first);
        result.insert(result.end(), wanted.begin() + change.first,
                      wanted.begin() + change.first + change.inserted);
        result.insert(result.end(), shown.begin() + change.first + change.removed, shown.end());
        EXPECT_EQ(result, wanted);
        return std::vector<std::size_t>{change.first, change.removed, change.inserted};
    };
    using Rows = std::vector<std::size_t>;
    EXPECT_EQ(check(items({}), items({1, 2, 3})), (Rows{0, 0, 3}));
    EXPECT_EQ(check(items({1, 2, 3}), items({1, 4, 2, 3})), (Rows{1, 0, 1}));
    EXPECT_EQ(check(items({1, 2, 3}), items({1, 3})), (Rows{1, 1, 0}));
    EXPECT_EQ(check(items({1, 2, 3}), items({1, 2, 3})), (Rows{3, 0, 0}));
    EXPECT_EQ(check(items({1, 2, 3}), items({})), (Rows{0, 3, 0}));
    EXPECT_EQ(check(items({2, 2, 2}), items({2, 2})), (Rows{2, 1, 0}));
    EXPECT_EQ(check(items({1, 2}), items({3, 4, 5})), (Rows{0, 2, 3}));
    // The same text with another record behind it is a different row.
    std::vector<EntryItem> relabelled = items({1, 2});
    relabelled[1].identifier = 9;
    EXPECT_EQ(check(items({1, 2}), relabelled), (Rows{1, 1, 1}));
}
