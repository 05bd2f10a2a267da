// CSV files of dates and step counts, as Trekline and other programs write them.
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "DailySteps.h"
#include "ImportError.h"
#include "ImportFile.h"
#include "ImportedDays.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

ImportedSteps Read(const std::string& text) {
    WriteFileBytes("offered.csv", {text.begin(), text.end()});
    return ReadImportFile("offered.csv", {});
}

// The message of the refusal, or "" when the file was read.
std::string Refusal(const fs::path& path) {
    return RefusalOf([&] { ReadImportFile(path, {}); });
}

struct CsvCase {
    const char* name;
    std::string text;
    std::vector<std::string> days;
};

class CsvVariantTest : public testing::TestWithParam<CsvCase> {};

} // namespace

TEST_P(CsvVariantTest, GivesEveryRow) {
    ScopedTempDir dir;
    const ImportedSteps steps = Read(GetParam().text);
    EXPECT_EQ(DayTexts(steps), GetParam().days);
    EXPECT_TRUE(steps.rejected.empty()) << steps.rejected.front().reason;
}

INSTANTIATE_TEST_SUITE_P(
    Variants, CsvVariantTest,
    testing::Values(
        CsvCase{"Own",
                "date,steps\r\n2006-05-05,12\r\n2006-05-05,3\r\n",
                {"2006-05-05 12", "2006-05-05 3"}},
        CsvCase{"Semicolons", "Date;Steps\n2006-05-05;12\n", {"2006-05-05 12"}},
        CsvCase{"Tabs", "day\tcount\tnote\n2006-05-05\t12\t\"a, b\"\n", {"2006-05-05 12"}},
        CsvCase{"ByteOrderMarkAndLf",
                "\xEF\xBB\xBF"
                "date,steps\n2006-05-05,12",
                {"2006-05-05 12"}},
        CsvCase{"QuotedGrouping",
                "\"Day\",\"Count\"\n\"2006-05-05\",\"12,345\"\n",
                {"2006-05-05 12345"}},
        CsvCase{"OtherColumnsFirst",
                "weight,steps,date\n70,5,2006/05/05\n71,6,2006.05.06\n",
                {"2006-05-05 5", "2006-05-06 6"}},
        CsvCase{
            "QuotedLineBreak", "note,date,steps\n\"two\nlines\",2006-05-05,7\n", {"2006-05-05 7"}},
        CsvCase{"NoHeader", "2006-05-05,12\n2006-05-06,0\n", {"2006-05-05 12", "2006-05-06 0"}},
        CsvCase{"LargestCount", "date,steps\n2006-05-05,4294967294\n", {"2006-05-05 4294967294"}},
        CsvCase{"BlankLines", "date,steps\n\n2006-05-05,1\n\n", {"2006-05-05 1"}}),
    [](const testing::TestParamInfo<CsvCase>& variant) { return variant.param.name; });

TEST(StepsCsvTest, RejectsUnreadableRowsByLineAndKeepsTheRest) {
    ScopedTempDir dir;
    const ImportedSteps steps = Read("date,steps\n"
                                     "2006-05-05,12\n"
                                     "2006-02-30,1\n"  // line 3: no such date
                                     "2006-05-06,-5\n" // line 4
                                     "2006-05-07,4294967295\n"
                                     "2006-05-08,1,2\n" // line 6: one field too many
                                     "2006-05-09,1.5\n"
                                     "2006-05-10,1,23\n" // line 8: not a grouping
                                     "2006-05-11,\"1,234\"\n");
    EXPECT_EQ(DayTexts(steps), (std::vector<std::string>{"2006-05-05 12", "2006-05-11 1234"}));
    std::vector<std::size_t> lines;
    for (const RejectedRow& row : steps.rejected)
        lines.push_back(row.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(steps.rejected[0].reason, "the date is not YYYY-MM-DD");
    EXPECT_EQ(steps.rejected[3].reason, "has 3 fields, not 2");
}

TEST(StepsCsvTest, ReadsTheUsualRowsAsAnyOther) {
    ScopedTempDir dir;
    const ImportedSteps steps = Read("date,steps\n"
                                     "2000-02-29,1\n" // a leap day
                                     "1900-02-29,2\n" // line 3: 1900 was no leap year
                                     "2024-12-31,00000000000000000003\n"
                                     "2024-12-31, 4\n"
                                     "2024-13-01,5\n" // line 6
                                     "2024-00-10,6\n" // line 7
                                     "2024-01-32,7\n" // line 8
                                     "2024-1-010,8\n" // line 9
                                     "2024-01-01,99999999999\n");
    EXPECT_EQ(DayTexts(steps),
              (std::vector<std::string>{"2000-02-29 1", "2024-12-31 3", "2024-12-31 4"}));
    std::vector<std::size_t> lines;
    for (const RejectedRow& row : steps.rejected)
        lines.push_back(row.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{3, 6, 7, 8, 9, 10}));
    EXPECT_EQ(steps.rejected.back().reason,
              "the step count is not a whole number from 0 to 4294967294");
}

TEST(StepsCsvTest, RefusesFilesWithoutAnyReadableRow) {
    ScopedTempDir dir;
    const std::string longLine(2 << 20, '7');
    const struct {
        std::string text;
        const char* refusal;
    } cases[] = {
        {"", "offered.csv is empty."},
        {std::string("date,steps\n2006-05-05,1\0\n", 25),
         "offered.csv is not a text file: Trekline imports"},
        {"date,steps\n\xff\xfe,1\n", "offered.csv holds no step counts that can be imported "
                                     "(line 2: the date is not YYYY-MM-DD)."},
        {"date,steps\n", "offered.csv holds no step counts that can be imported."},
        {"name,weight\nAnna,70\n", "offered.csv is not a file of steps Trekline can read"},
        {"date,steps\n2006-05-05," + longLine + "\n", "offered.csv line 2 is longer"},
    };
    for (const auto& [text, refusal] : cases) {
        WriteFileBytes("offered.csv", {text.begin(), text.end()});
        EXPECT_TRUE(Refusal("offered.csv").starts_with(refusal))
            << Refusal("offered.csv") << " for " << text.substr(0, 40);
    }
    // Windows has no pipes in a directory.
#ifndef _WIN32
    ASSERT_EQ(mkfifo("pipe.csv", 0600), 0);
    EXPECT_EQ(Refusal("pipe.csv"), "pipe.csv is not a regular file");
#endif
    EXPECT_TRUE(Refusal("missing.csv").starts_with("missing.csv cannot be opened"));
}

// A file of CSV rows and an export's reader keep one list of the rows they
// could not read: the first ones with their reasons, the rest counted.
TEST(RejectedRows, TheFirstThousandAreListedAndTheRestCounted) {
    ScopedTempDir dir;
    std::string csv = "date,steps\n";
    for (int i = 0; i < 1005; ++i)
        csv += "someday,1\n";
    const ImportedSteps fromCsv = Read(csv + "2024-01-01,5\n");
    DailySteps daily;
    for (std::size_t i = 1; i <= 1005; ++i)
        daily.Reject(i, "no date");
    const ImportedSteps fromExport = std::move(daily).Finish("export");
    for (const ImportedSteps* steps : {&fromCsv, &fromExport}) {
        EXPECT_EQ(steps->rejected.size(), ImportedSteps::kMostListedRejections) << steps->format;
        EXPECT_EQ(steps->RejectedCount(), 1005u) << steps->format;
    }
}
