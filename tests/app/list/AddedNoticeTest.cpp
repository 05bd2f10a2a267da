#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AddedNotice.h"
#include "ShownEntries.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(AddedNoticeTest, NamesTheCountTheListsDateAndTheDaysTotal) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    struct Case {
        std::vector<StepRecord> others;
        StepRecord added;
        std::string notice;
    };
    const std::vector<Case> cases = {
        {{}, DiaryEntry(1, 2026, 12, 8, 1), "Added 1 step on 2026.12.08: 1 that day"},
        {{DiaryEntry(5000, 2026, 12, 8, 1), DiaryEntry(700, 2026, 12, 9, 2)},
         DiaryEntry(4321, 2026, 12, 8, 3),
         "Added 4,321 steps on 2026.12.08: 9,321 that day"},
        // A total past 32 bits; a month out of range is the date the list shows.
        {{DiaryEntry(4294967294u, 2027, 1, 1, 1), DiaryEntry(4294967294u, 2027, 1, 1, 2)},
         DiaryEntry(1000000, 2026, 13, 1, 3),
         "Added 1,000,000 steps on 2027.01.01: 8,590,934,588 that day"},
    };
    for (const Case& c : cases) {
        std::vector<StepRecord> records = c.others;
        records.insert(records.begin(), c.added);
        EXPECT_EQ(AddedNotice(BuildShownEntries(records), c.added), c.notice);
    }
}
