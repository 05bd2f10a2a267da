// A power cut during an append leaves part of the record at the end of the
// diary. The records before it are listed as they were, and the next change
// cuts the torn bytes off; a file whose leading bytes came from elsewhere is
// still read from its end.
#include "CStepFile.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestDiary.h"

namespace fs = std::filesystem;

namespace {

// As appends store them: a real date each, identifiers rising.
std::vector<StepRecord> Appended(std::uint32_t count) {
    using namespace std::chrono;
    std::vector<StepRecord> records;
    sys_days date = 2020y / January / 1d;
    for (std::uint32_t i = 1; i <= count; ++i, date += days(1)) {
        const year_month_day ymd(date);
        records.push_back(DiaryEntry(100 + i, static_cast<int>(ymd.year()),
                                     static_cast<int>(static_cast<unsigned>(ymd.month())),
                                     static_cast<int>(static_cast<unsigned>(ymd.day())), 2 * i,
                                     weekday(date).c_encoding()));
    }
    return records;
}

std::vector<StepRecord> NewestFirst(std::vector<StepRecord> records) {
    return {records.rbegin(), records.rend()};
}

std::vector<unsigned char> TornAfter(const std::vector<StepRecord>& records, std::size_t torn) {
    std::vector<unsigned char> bytes = DiaryBytes(records);
    const StepRecordBytes next = EncodeStepRecord(DiaryEntry(999, 2030, 6, 15, 1 << 30));
    bytes.insert(bytes.end(), next.begin(), next.begin() + static_cast<std::ptrdiff_t>(torn));
    return bytes;
}

} // namespace

TEST(TornTailTest, RecordsBeforeATornTailAreListedAndTheNextChangeCutsItOff) {
    ScopedTempDir dir;
    for (std::uint32_t count : {0u, 1u, 1000u}) {
        const std::vector<StepRecord> records = Appended(count);
        for (std::size_t torn = 1; torn < kStepRecordSize; ++torn) {
            const std::string what =
                std::to_string(torn) + " torn bytes after " + std::to_string(count) + " records";
            WriteFileBytes("data.steps", TornAfter(records, torn));
            {
                CStepFile file(HereFiles());
                EXPECT_EQ(file.ReadAll(), NewestFirst(records)) << what;
                StepRecord added = DiaryEntry(5, 2031, 1, 1);
                file.Append(added);
                ASSERT_TRUE(file.IsOk()) << what;
                EXPECT_EQ(added.identifier, count == 0 ? 1 : records.back().identifier + 1) << what;
                std::vector<StepRecord> expected = records;
                expected.push_back(added);
                EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes(expected)) << what;
            }
            if (count == 0)
                continue;
            WriteFileBytes("data.steps", TornAfter(records, torn));
            CStepFile file(HereFiles());
            file.DeleteById(records.front().identifier);
            ASSERT_TRUE(file.IsOk()) << what;
            EXPECT_EQ(ReadFileBytes("data.steps"),
                      DiaryBytes(std::vector<StepRecord>(records.begin() + 1, records.end())))
                << what;
        }
    }
}

TEST(TornTailTest, LeadingBytesBeforeRecordsAreStillSkippedAndKept) {
    ScopedTempDir dir;
    for (std::uint32_t count : {1u, 2u, 1000u}) {
        const std::vector<StepRecord> records = Appended(count);
        for (std::size_t lead = 1; lead < kStepRecordSize; ++lead) {
            const std::string what =
                std::to_string(lead) + " leading bytes before " + std::to_string(count);
            const std::vector<unsigned char> leading(lead, static_cast<unsigned char>(0xA0 + lead));
            WriteFileBytes("data.steps", DiaryBytes(records, leading));
            CStepFile file(HereFiles());
            EXPECT_EQ(file.ReadAll(), NewestFirst(records)) << what;
            StepRecord added = DiaryEntry(5, 2031, 1, 1);
            file.Append(added);
            EXPECT_EQ(added.identifier, records.back().identifier + 1) << what;
            std::vector<StepRecord> expected = records;
            expected.push_back(added);
            EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes(expected, leading)) << what;
        }
    }
}

TEST(TornTailTest, AZeroRecordWhoseBytesNeverLandedIsATornTail) {
    ScopedTempDir dir;
    for (std::uint32_t count : {0u, 1u, 1000u}) {
        const std::vector<StepRecord> records = Appended(count);
        std::vector<unsigned char> bytes = DiaryBytes(records);
        bytes.resize(bytes.size() + kStepRecordSize, 0);
        WriteFileBytes("data.steps", bytes);
        CStepFile file(HereFiles());
        EXPECT_EQ(file.ReadAll(), NewestFirst(records)) << count;
        StepRecord added = DiaryEntry(5, 2031, 1, 1);
        file.Append(added);
        std::vector<StepRecord> expected = records;
        expected.push_back(added);
        EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes(expected)) << count;
    }
}

// Entries of any date the program stores (imports take years from 0000) must
// not hide the layout of appends: a tail torn after them is cut, never read
// as shifted records, and no identifier is handed out twice.
TEST(TornTailTest, EntriesOfEveryStorableYearKeepATornTailApart) {
    ScopedTempDir dir;
    const std::vector<unsigned char> tenTornBytes(10, 0x5A), zeroRecord(kStepRecordSize, 0);
    for (int oldYear : {0, 1, 1600}) {
        for (const std::vector<unsigned char>& tail : {tenTornBytes, zeroRecord}) {
            const std::string what = "oldest year " + std::to_string(oldYear) + ", " +
                                     std::to_string(tail.size()) + " tail bytes";
            std::vector<StepRecord> records = Appended(3);
            records.insert(records.begin(), DiaryEntry(5, oldYear, 1, 1, 1));
            std::vector<unsigned char> bytes = DiaryBytes(records);
            bytes.insert(bytes.end(), tail.begin(), tail.end());
            WriteFileBytes("data.steps", bytes);
            CStepFile file(HereFiles());
            EXPECT_EQ(file.ReadAll(), NewestFirst(records)) << what;
            StepRecord added = DiaryEntry(5, 2031, 1, 1);
            file.Append(added);
            EXPECT_EQ(added.identifier, records.back().identifier + 1) << what;
            records.push_back(added);
            EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes(records)) << what;
        }
    }
}
