// Phone and watch exports meet the diary by the same per-date merge as CSV
// files: a second import of any of them changes nothing, and two exports of
// the same days give conflicts rather than doubled days.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "ExportSamples.h"
#include "ImportCommand.h"
#include "TempDir.h"
#include "TestArchive.h"
#include "TestDiary.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

// Reads the file and imports it, as the command line does.
ImportMerge Import(const fs::path& offered, ConflictChoice choice = ConflictChoice::kKeepDiary) {
    CommandOutcome why;
    std::optional<ImportedSteps> steps = ReadOfferedFile(offered, {}, why);
    EXPECT_TRUE(steps) << why.notice;
    ImportMerge done;
    if (steps) {
        const CommandOutcome imported = ImportRows(HereFiles(), steps->rows, choice, &done);
        EXPECT_TRUE(imported) << imported.notice;
    }
    return done;
}

// A Gadgetbridge database with one device's minutes on two days (UTC).
void WriteGadgetbridge(const fs::path& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE MI_BAND_ACTIVITY_SAMPLE (TIMESTAMP INTEGER, DEVICE_ID INTEGER,"
                 " STEPS INTEGER, PRIMARY KEY (TIMESTAMP, DEVICE_ID));"
                 "INSERT INTO MI_BAND_ACTIVITY_SAMPLE VALUES (1704103200, 1, 100),"
                 " (1704103260, 1, 20), (1704189600, 1, 7);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct ExportCase {
    const char* name;
    std::function<void(const fs::path&)> write;
};

const std::vector<ExportCase> kExports = {
    {"AppleHealthXml",
     [](const fs::path& p) {
         WriteText(p, AppleExport(AppleRecord("iPhone", "2024-03-01 08:00:00 +0100", "100") +
                                  AppleRecord("Watch", "2024-03-01 08:00:00 +0100", "250") +
                                  AppleRecord("iPhone", "2024-03-02 09:00:00 +0100", "500")));
     }},
    {"AppleHealthZip",
     [](const fs::path& p) {
         WriteZip(p, {{"apple_health_export/export.xml",
                       AppleExport(AppleRecord("iPhone", "2024-03-01 08:00:00 +0100", "100"))}});
     }},
    {"GoogleFit",
     [](const fs::path& p) {
         WriteText(p, std::string(kGoogleHeader) +
                          "2024-01-01,0,1500.0,,,,,,\n"
                          "2024-01-02,45,2100.0,8000.0,20,18,1.3,10250,1\n");
     }},
    {"SamsungHealth",
     [](const fs::path& p) {
         WriteText(p, "com.samsung.shealth.step_daily_trend,1,2\n"
                      "day_time,source_type,count,deviceuuid\n"
                      "1717200000000,-2,8000,AAA\n1717200000000,0,7000,BBB\n");
     }},
    {"Fitbit",
     [](const fs::path& p) {
         WriteFolder(p, {{"MyFitbitData/Anna/Physical Activity/steps-2023-12-31.json",
                          "[" + FitbitSample("12/31/23 23:59:00", "7") + "," +
                              FitbitSample("01/01/24 00:01:00", "21") + "]"}});
     }},
    {"GarminConnect",
     [](const fs::path& p) {
         WriteFolder(p, {{"DI_CONNECT/DI-Connect-Aggregator/UDSFile_2023-12-30_2024-04-08.json",
                          R"([{"calendarDate":"2023-12-31","totalSteps":8123}])"}});
     }},
    {"Gadgetbridge", WriteGadgetbridge},
};

class ExportReimportTest : public testing::TestWithParam<ExportCase> {};

} // namespace

TEST_P(ExportReimportTest, ASecondImportAddsNothingAndChangesNoByte) {
    ScopedTempDir dir;
    ScopedTimeZone zone("Europe/Berlin");
    WriteDiary({DiaryEntry(12, 2006, 5, 5, 1)});
    GetParam().write("offered");
    ASSERT_GT(Import("offered").added, 0u);
    const std::vector<unsigned char> imported = ReadFileBytes("data.steps");
    for (ConflictChoice choice : {ConflictChoice::kKeepDiary, ConflictChoice::kUseFile}) {
        const ImportMerge again = Import("offered", choice);
        EXPECT_EQ(again.added, 0u);
        EXPECT_TRUE(again.conflicts.empty());
        EXPECT_EQ(ReadFileBytes("data.steps"), imported);
    }
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportReimportTest, testing::ValuesIn(kExports),
                         [](const testing::TestParamInfo<ExportCase>& exported) {
                             return exported.param.name;
                         });

TEST(ExportConflictTest, AppleAndGoogleExportsOfTheSameDaysConflictInsteadOfDoubling) {
    ScopedTempDir dir;
    // The phone counted 650 and 500; Google's tracker 640 and 500 on the same days.
    WriteText("export.xml", AppleExport(AppleRecord("iPhone", "2024-03-01 08:00:00 +0100", "650") +
                                        AppleRecord("iPhone", "2024-03-02 09:00:00 +0100", "500")));
    WriteText("Daily activity metrics.csv", std::string(kGoogleHeader) +
                                                "2024-03-01,31,1800.5,5000.2,12,10,1.2,640,1\n"
                                                "2024-03-02,31,1800.5,5000.2,12,10,1.2,500,1\n");
    ASSERT_EQ(Import("export.xml").added, 2u);
    const std::vector<unsigned char> apple = ReadFileBytes("data.steps");

    const ImportMerge google = Import("Daily activity metrics.csv");
    EXPECT_EQ(google.added, 0u);
    EXPECT_EQ(google.unchanged, 1u);
    EXPECT_EQ(google.conflicts, (std::vector<DateConflict>{{2024y / March / 1, 650, 640}}));
    EXPECT_EQ(ReadFileBytes("data.steps"), apple);
}
