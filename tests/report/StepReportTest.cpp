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
            const std::uint32_t steps =
                random() % 6 == 0 ? kEndMarker : static_cast<std::uint32_t>(random() % 9000);
            const auto identifier = static_cast<std::uint32_t>(random() % 12); // repeats on purpose
            r = DiaryEntry(steps, 2006, 1, static_cast<int>(1 + random() % 28), identifier);
        }
        WriteDiary(records);
        std::vector<std::uint32_t> ids;
        for (std::uint32_t id = 0; id < 14; ++id)
            ids.push_back(id);

        ReportData data = LoadReportData(HereFiles(), ids);

        CStepFile file(HereFiles());
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
    data.entries = {DiaryEntry(1000, 2006, 3, 1), DiaryEntry(500, 2006, 3, 11)};
    data.maximum = 1000;
    SaveChartPicture(HereFiles(), data, true, kTrueColourBitsPerPixel);
    std::vector<unsigned char> bmp = ReadFileBytes("data_steps.bmp");
    ASSERT_EQ(bmp.size(), 600054u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[28], 32); // bits per pixel
}

TEST(StepReportTest, TheChartTakesThePixelSizeOfTheDisplaysColourDepth) {
    const std::pair<int, int> depthToBits[] = {{-1, 32}, {0, 32}, {1, 1},   {4, 4},   {8, 8},
                                               {15, 16}, {16, 16}, {24, 32}, {30, 32}, {32, 32}};
    for (auto [depth, bits] : depthToBits)
        EXPECT_EQ(DisplayBitsPerPixel(depth), bits) << depth;

    ScopedTempDir dir;
    ReportData data;
    data.entries = {DiaryEntry(1000, 2006, 3, 1), DiaryEntry(500, 2006, 3, 11)};
    data.maximum = 1000;
    SaveChartPicture(HereFiles(), data, false, 16);
    EXPECT_EQ(ReadFileBytes("data_steps.bmp").size(), 562198u);
}
