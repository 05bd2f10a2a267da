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

using namespace std::chrono;

namespace {

std::vector<unsigned char> Diary(std::uint32_t count) {
    std::vector<unsigned char> bytes;
    for (std::uint32_t i = 1; i <= count; ++i) {
        StepRecord r;
        r.steps = 700 + i;
        r.year = 2025;
        r.month = 1;
        r.day = static_cast<std::uint16_t>(i);
        r.identifier = i;
        StepRecordBytes b = EncodeStepRecord(r);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

// Files may grow to `limit` bytes while the command runs; a write beyond
// fails with EFBIG (the signal that would end the process is ignored).
template <typename Command> void WithFileSizeLimit(rlim_t limit, Command command) {
    rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit capped = old;
    capped.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);
    command();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
}

class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = std::signal(SIGXFSZ, SIG_IGN); }
    void TearDown() override { std::signal(SIGXFSZ, previous_); }

private:
    void (*previous_)(int) = SIG_DFL;
};

} // namespace

TEST_F(FullDiskTest, AnAddCutShortLeavesTheDiaryAsItWas) {
    ScopedTempDir dir;
    const std::vector<unsigned char> before = Diary(3);
    // Every size from no room at all to one byte short of the new record.
    for (rlim_t room = 0; room < kStepRecordSize; ++room) {
        WriteFileBytes("data.steps", before);
        bool added = true;
        WithFileSizeLimit(before.size() + room, [&] { added = AddEntry(5000, 2025y / 2 / 1d); });
        EXPECT_FALSE(added) << room;
        EXPECT_EQ(ReadFileBytes("data.steps"), before) << room;
        EXPECT_TRUE(AddEntry(5000, 2025y / 2 / 1d)) << room;
        EXPECT_EQ(ReadFileBytes("data.steps").size(), before.size() + kStepRecordSize) << room;
    }
}

TEST_F(FullDiskTest, ADeleteWithoutRoomForTheNewCopyLeavesTheDiaryAsItWas) {
    ScopedTempDir dir;
    const std::vector<unsigned char> before = Diary(400);
    const std::size_t after = before.size() - kStepRecordSize;
    for (rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{24}, rlim_t{4096}, rlim_t{after - 1}}) {
        WriteFileBytes("data.steps", before);
        WithFileSizeLimit(limit, [] { DeleteEntry(200); });
        EXPECT_EQ(ReadFileBytes("data.steps"), before) << limit;
        EXPECT_FALSE(std::filesystem::exists("data.tmp")) << limit;
        DeleteEntry(200);
        EXPECT_EQ(ReadFileBytes("data.steps").size(), after) << limit;
    }
}

TEST_F(FullDiskTest, AReportWithoutRoomKeepsTheEarlierPictureAndPage) {
    ScopedTempDir dir;
    WriteFileBytes("data.steps", Diary(20));
    const std::vector<unsigned char> oldPicture{'B', 'M'}, oldPage{'<', 'p', '>'};
    const auto report = [] {
        ReportData data = LoadReportData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        SaveChartPicture(data, true);
        return WriteHtmlReportFile("out.html", data.entries, 100);
    };
    ASSERT_TRUE(report());
    const std::vector<unsigned char> newPage = ReadFileBytes("out.html");
    // Room for neither, then room for the page but not the picture.
    for (rlim_t limit : {rlim_t{0}, rlim_t{54}, rlim_t{1000}, rlim_t{599999}}) {
        WriteFileBytes("data_steps.bmp", oldPicture);
        WriteFileBytes("out.html", oldPage);
        const bool pageFits = limit >= newPage.size();
        bool written = !pageFits;
        WithFileSizeLimit(limit, [&] { written = report(); });
        EXPECT_EQ(ReadFileBytes("data_steps.bmp"), oldPicture) << limit;
        EXPECT_EQ(written, pageFits) << limit;
        EXPECT_EQ(ReadFileBytes("out.html"), pageFits ? newPage : oldPage) << limit;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 3) << limit;
        EXPECT_TRUE(report()) << limit;
        EXPECT_EQ(ReadFileBytes("data_steps.bmp").size(), 600054u) << limit;
    }
}
