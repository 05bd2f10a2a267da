#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "EntryItems.h"
#include "EntryText.h"
#include "ListChanges.h"
#include "ShownEntries.h"
#include "ShownItems.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// Rows as a reader tells them apart: text and identifier.
std::vector<std::string> Listed(const std::vector<EntryItem>& items) {
    std::vector<std::string> listed;
    for (const EntryItem& item : items)
        listed.push_back(item.text + " #" + std::to_string(item.record.identifier));
    return listed;
}

// A diary's scans, newest first, as one writer after another changes it.
class ChangingDiary {
public:
    explicit ChangingDiary(std::uint32_t seed) : random_(seed) {
        for (std::size_t i = random_() % 200; i > 0; --i)
            Append();
    }

    const std::vector<StepRecord>& Records() const { return records_; }

    // Changes the diary as a window, an import or anyone else might; gives
    // how many records a change that only removes and appends touched, and
    // none for any other change.
    std::optional<std::size_t> Change() {
        std::size_t size = records_.size();
        switch (random_() % 4) {
        case 0: { // Add, Delete, an import, or one that replaces what it conflicts with
            const std::size_t removed = std::min<std::size_t>(random_() % 3, size);
            const std::size_t added = random_() % 3 == 0 ? random_() % 20 : random_() % 2;
            for (std::size_t i = 0; i < removed; ++i, --size)
                records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(random_() % size));
            for (std::size_t i = 0; i < added; ++i)
                Append();
            return removed + added;
        }
        case 1: // written over in place by someone else
            if (size > 0)
                records_[random_() % size] = Record(records_[random_() % size].identifier);
            return std::nullopt;
        case 2: // records put back in the middle, or the file cut short
            if (random_() % 2 == 0)
                records_.insert(records_.begin() +
                                    static_cast<std::ptrdiff_t>(random_() % (size + 1)),
                                Record(nextId_++));
            else
                records_.resize(random_() % (size + 1));
            return std::nullopt;
        default: // another diary altogether
            records_.clear();
            for (std::size_t i = random_() % 100; i > 0; --i)
                Append();
            return std::nullopt;
        }
    }

private:
    StepRecord Record(std::uint32_t id) {
        // Few enough dates and counts that equal texts, and equal records, occur.
        return DiaryEntry(static_cast<std::uint32_t>(random_() % 4), 2006,
                          static_cast<int>(1 + random_() % 3), static_cast<int>(1 + random_() % 5),
                          random_() % 8 == 0 ? 7 : id);
    }
    void Append() { records_.insert(records_.begin(), Record(nextId_++)); }

    std::mt19937 random_;
    std::vector<StepRecord> records_;
    std::uint32_t nextId_ = 1;
};

} // namespace

TEST(ShownEntriesTest, RowsChangedInPlaceAreThoseOfAFullBuildAndTheListFollowsThem) {
    for (const char* tz : {"UTC0", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTimeZone zone(tz);
        for (std::uint32_t seed = 0; seed < 150; ++seed) {
            ChangingDiary diary(seed);
            std::vector<ShownEntry> entries = BuildShownEntries(diary.Records());
            ASSERT_EQ(TextItems(entries), BuildEntryItems(diary.Records()));
            for (int step = 0; step < 25; ++step) {
                const std::vector<StepRecord> before = diary.Records();
                const std::vector<ShownEntry> shown = entries;
                const std::optional<std::size_t> touched = diary.Change();

                const RecordChange change = FindRecordChange(before, diary.Records());
                const std::optional<std::vector<EntryListChange>> changes =
                    ApplyRecordChange(entries, before, change);
                ASSERT_TRUE(changes) << seed << " step " << step;
                ASSERT_EQ(Listed(TextItems(entries)), Listed(BuildEntryItems(diary.Records())))
                    << tz << " seed " << seed << " step " << step;
                ASSERT_EQ(TextItems(entries), BuildEntryItems(diary.Records()));
                ASSERT_EQ(ApplyListChanges(shown, entries, *changes), entries)
                    << tz << " seed " << seed << " step " << step;
                if (touched) {
                    // Only the records the writer removed or appended are touched.
                    EXPECT_EQ(change.removed.size() + change.added.size(), *touched);
                    std::size_t rows = 0;
                    for (const EntryListChange& listChange : *changes)
                        rows += listChange.removed + listChange.inserted;
                    EXPECT_EQ(rows, *touched) << seed << " step " << step;
                }
            }
        }
    }
}

TEST(ShownEntriesTest, ARecordTheRowsDoNotHoldLeavesThemAsTheyWere) {
    ScopedTimeZone zone("UTC0");
    const std::vector<StepRecord> records = {DiaryEntry(2, 2006, 1, 2, 2),
                                             DiaryEntry(1, 2006, 1, 1, 1)};
    std::vector<ShownEntry> entries = BuildShownEntries(records);
    const std::vector<ShownEntry> shown = entries;
    const std::vector<StepRecord> other = {DiaryEntry(3, 2006, 1, 3, 3)};
    EXPECT_FALSE(ApplyRecordChange(entries, other, {{0}, {records[0]}}));
    EXPECT_EQ(entries, shown);
}
