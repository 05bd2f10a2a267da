#include "StepReport.h"

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "CStepFile.h"
#include "TempDir.h"
#include "TestDiary.h"

TEST(StepReportTest, OneReadAnswersEveryLookupAsTheFileWould) {
    ScopedTempDir dir;
    std::minstd_rand random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<StepRecord> records(random() % 30);
        for (StepRecord& r : records) {
            r.steps = random() % 6 == 0 ? kEndMarker : static_cast<std::uint32_t>(random() % 9000);
            r.identifier = static_cast<std::uint32_t>(random() % 12); // repeats on purpose
            r.year = 2006;
            r.month = 1;
            r.day = static_cast<std::uint16_t>(1 + random() % 28);
        }
        WriteDiary(records);
        std::vector<std::uint32_t> ids;
        for (std::uint32_t id = 0; id < 14; ++id)
            ids.push_back(id);

        ReportData data = LoadReportData(ids);

        CStepFile file("data.steps");
        std::vector<StepRecord> expected;
        std::uint32_t maximum = 0;
        for (std::uint32_t id : ids) {
            StepRecord found;
            file.FindById(id, found);
            if (found.steps != kEndMarker)
                expected.push_back(found);
        }
        StepRecord r;
        for (file.ReadLast(r); r.steps != kEndMarker; file.StepBack(r))
            maximum = std::max(maximum, r.steps);
        EXPECT_EQ(data.entries, expected) << "round " << round;
        EXPECT_EQ(data.maximum, maximum) << "round " << round;
    }
}

TEST(StepReportTest, ChartPictureIsAFullSizeTrueColourBitmap) {
    ScopedTempDir dir;
    ReportData data;
    StepRecord r;
    r.steps = 1000;
    r.year = 2006;
    r.month = 3;
    r.day = 1;
    data.entries = {r};
    r.day = 11;
    r.steps = 500;
    data.entries.push_back(r);
    data.maximum = 1000;
    SaveChartPicture(data, true);
    std::vector<unsigned char> bmp = ReadFileBytes("data_steps.bmp");
    ASSERT_EQ(bmp.size(), 600054u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[28], 32); // bits per pixel
}
