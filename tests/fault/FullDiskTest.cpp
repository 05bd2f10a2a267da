// A disk that fills up part way through a write: the file size limit cuts
// writes short exactly where it is set, as a full disk does, even for root.
#include <chrono>
#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "DiaryCommands.h"
#include "HtmlReport.h"
#include "StepReport.h"
#include "TempDir.h"
#include "TestDiary.h"

using namespace std::chrono;

namespace {

std::vector<unsigned char> Diary(std::uint32_t count) {
    std::vector<StepRecord> records;
    for (std::uint32_t i = 1; i <= count; ++i)
        records.push_back(DiaryEntry(700 + i, 2025, 1, static_cast<int>(i), i));
    return DiaryBytes(records);
}

} // namespace

TEST(FullDiskTest, AnAddCutShortLeavesTheDiaryAsItWas) {
    ScopedTempDir dir;
    const std::vector<unsigned char> before = Diary(3);
    // Every size from no room at all to one byte short of the new record.
    for (rlim_t room = 0; room < kStepRecordSize; ++room) {
        WriteFileBytes("data.steps", before);
        CommandOutcome added;
        {
            ScopedFileSizeLimit full(before.size() + room);
            added = AddEntry(HereFiles(), 5000, 2025y / 2 / 1d);
        }
        EXPECT_EQ(added.notice,
                  "There is no room on the disk for data.steps: the entry was not added.")
            << room;
        EXPECT_EQ(ReadFileBytes("data.steps"), before) << room;
        EXPECT_TRUE(AddEntry(HereFiles(), 5000, 2025y / 2 / 1d)) << room;
        EXPECT_EQ(ReadFileBytes("data.steps").size(), before.size() + kStepRecordSize) << room;
    }
}

TEST(FullDiskTest, ADeleteWithoutRoomForTheNewCopyLeavesTheDiaryAsItWas) {
    ScopedTempDir dir;
    const std::vector<unsigned char> before = Diary(400);
    const std::size_t after = before.size() - kStepRecordSize;
    for (rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{24}, rlim_t{4096}, rlim_t{after - 1}}) {
        WriteFileBytes("data.steps", before);
        CommandOutcome deleted;
        {
            ScopedFileSizeLimit full(limit);
            deleted = DeleteEntry(HereFiles(), 200);
        }
        EXPECT_EQ(deleted.notice,
                  "There is no room on the disk for data.steps: the entry was not deleted.")
            << limit;
        EXPECT_EQ(ReadFileBytes("data.steps"), before) << limit;
        EXPECT_FALSE(std::filesystem::exists("data.tmp")) << limit;
        DeleteEntry(HereFiles(), 200);
        EXPECT_EQ(ReadFileBytes("data.steps").size(), after) << limit;
    }
}

TEST(FullDiskTest, AReportWithoutRoomKeepsTheEarlierPictureAndPage) {
    ScopedTempDir dir;
    WriteFileBytes("data.steps", Diary(20));
    const std::vector<unsigned char> oldPicture{'B', 'M'}, oldPage{'<', 'p', '>'};
    const auto report = [] {
        ReportData data = LoadReportData(HereFiles(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        SaveChartPicture(HereFiles(), data, true, kTrueColourBitsPerPixel);
        return WriteHtmlReportFile("out.html", data.entries, 100).IsOk();
    };
    ASSERT_TRUE(report());
    const std::vector<unsigned char> newPage = ReadFileBytes("out.html");
    // Room for neither, then room for the page but not the picture.
    for (rlim_t limit : {rlim_t{0}, rlim_t{54}, rlim_t{1000}, rlim_t{599999}}) {
        WriteFileBytes("data_steps.bmp", oldPicture);
        WriteFileBytes("out.html", oldPage);
        const bool pageFits = limit >= newPage.size();
        bool written = !pageFits;
        {
            ScopedFileSizeLimit full(limit);
            written = report();
        }
        EXPECT_EQ(ReadFileBytes("data_steps.bmp"), oldPicture) << limit;
        EXPECT_EQ(written, pageFits) << limit;
        EXPECT_EQ(ReadFileBytes("out.html"), pageFits ? newPage : oldPage) << limit;
        EXPECT_EQ(DirectoryNames().size(), 3u) << limit;
        EXPECT_TRUE(report()) << limit;
        EXPECT_EQ(ReadFileBytes("data_steps.bmp").size(), 600054u) << limit;
    }
}
