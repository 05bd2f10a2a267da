// The list texts, the chart and the page of one varied diary, byte for byte
// as the program wrote them before its dates, list and chart were made fast:
// the digests were taken with that program. The charts hold glyphs, so their
// digests hold only for the label font they were taken with. An output that
// differs is kept in the test's output directory, named in the failure, to be
// compared with what an older build writes (bench/outputs-unchanged.sh).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "EntryDate.h"
#include "FontFile.h"
#include "EntryItems.h"
#include "EntryText.h"
#include "HtmlReport.h"
#include "StepReport.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

std::uint64_t Digest(const std::vector<unsigned char>& bytes) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

// Whether `bytes` digest to `expected`; else they are kept as `name`.
::testing::AssertionResult DigestsTo(const std::vector<unsigned char>& bytes,
                                     std::uint64_t expected, const std::string& name) {
    if (Digest(bytes) == expected)
        return ::testing::AssertionSuccess();
    const std::filesystem::path kept =
        std::filesystem::path(::testing::TempDir()) / ("outputs-unchanged-" + name);
    WriteFileBytes(kept, bytes);
    return ::testing::AssertionFailure() << name << " differs; it is kept in " << kept;
}

// The label font the chart digests were taken with: Debian 12's DejaVu Sans.
bool IsDigestedLabelFont() {
    const std::optional<FontFile> font = FindFontFile("Verdana");
    return font && Digest(ReadFileBytes(font->path)) == 0xadadfef763426946ull;
}

// Daily entries over two changes of the clocks with repeated and skipped
// days, and a few far-off, undatable and odd-timed ones.
std::vector<StepRecord> VariedDiary() {
    std::mt19937 random(1913);
    std::vector<StepRecord> records;
    std::chrono::sys_days day = std::chrono::year{2005} / 1 / 1;
    for (std::uint32_t id = 1; id <= 3000; ++id) {
        StepRecord r;
        r.steps = static_cast<std::uint32_t>(random() % 20000);
        SetEntryDate(r, std::chrono::year_month_day{day});
        r.identifier = id;
        if (id % 500 == 0)
            r.year = static_cast<std::uint16_t>(1500 + id);
        if (id % 700 == 0)
            r.hour = 30;
        records.push_back(r);
        day += std::chrono::days{random() % 5 == 0 ? 0 : 1};
    }
    return records;
}

} // namespace

TEST(OutputsUnchangedTest, ListChartAndPageAreByteForByteAsBefore) {
#ifdef _WIN32
    GTEST_SKIP() << kNoZoneRules;
#endif
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    ScopedTempDir dir;
    const std::vector<StepRecord> records = VariedDiary();
    WriteDiary(records);

    std::vector<unsigned char> texts;
    std::vector<std::uint32_t> listed;
    // The list gets the records newest first, as a scan of the file gives them.
    for (const EntryItem& item : BuildEntryItems({records.rbegin(), records.rend()})) {
        texts.insert(texts.end(), item.text.begin(), item.text.end());
        texts.push_back('\n');
        listed.push_back(item.record.identifier);
    }
    EXPECT_TRUE(DigestsTo(texts, 13608869751982626074ull, "list.txt"));

    const ReportData data = LoadReportData(HereFiles(), listed);
    ASSERT_TRUE(WriteHtmlReportFile(HereFiles().page, data.entries, 75));
    EXPECT_TRUE(DigestsTo(ReadFileBytes(HereFiles().page), 1558254232492336563ull, "out.html"));
    if (!IsDigestedLabelFont())
        GTEST_SKIP() << "the charts were digested with another label font";
    for (bool values : {false, true}) {
        ASSERT_TRUE(SaveChartPicture(HereFiles(), data, values, 32));
        EXPECT_TRUE(DigestsTo(ReadFileBytes(HereFiles().chart),
                              values ? 10605918404799055431ull : 14336847846907585921ull,
                              values ? "chart-values.bmp" : "chart.bmp"));
    }
}
