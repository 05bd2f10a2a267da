// Each export format, as a single file, a zip and an unpacked folder, with the
// pitfalls of real exports, gives the expected total per calendar date.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExportFile.h"
#include "ExportSamples.h"
#include "ImportedDays.h"
#include "TempDir.h"
#include "TestArchive.h"

namespace fs = std::filesystem;

namespace {

struct ExportCase {
    const char* name;
    const char* format;
    // The first entry is the export's file read on its own; the others lie
    // beside it in the export and must not change the days.
    std::vector<ExportEntry> entries;
    std::vector<std::string> days;
};

const std::vector<ExportCase> kCases = {
    {"AppleLargestSourcePerDay",
     "Apple Health",
     {{"apple_health_export/export.xml",
       AppleExport(
           AppleRecord("iPhone", "2024-03-01 08:00:00 +0100", "100") +
           AppleRecord("Anna\xE2\x80\x99s Apple Watch", "2024-03-01 08:00:00 +0100", "250") +
           AppleRecord("iPhone", "2024-03-01 12:00:00 +0100", "200") +
           AppleRecord("iPhone", "2024-03-01 18:00:00 +0100", "300") +
           AppleRecord("Anna\xE2\x80\x99s Apple Watch", "2024-03-01 18:00:00 +0100", "400") +
           AppleRecord("iPhone", "2024-03-02 09:00:00 +0100", "500") +
           AppleRecord("iPhone", "2024-03-02 09:00:00 +0100", "800",
                       "HKQuantityTypeIdentifierDistanceWalkingRunning"))},
      {"apple_health_export/export_cda.xml",
       "<?xml version=\"1.0\"?>\n<ClinicalDocument><Record/></ClinicalDocument>\n"}},
     {"2024-03-01 650", "2024-03-02 500"}},
    {"AppleDateAsWrittenEastWestAndNewYear",
     "Apple Health",
     {{"apple_health_export/export.xml",
       AppleExport(AppleRecord("iPhone", "2024-03-01 00:30:00 +0900", "10") +
                   AppleRecord("iPhone", "2024-02-29 23:30:00 -0800", "20") +
                   AppleRecord("iPhone", "2023-12-31 23:59:00 +0100", "30") +
                   AppleRecord("iPhone", "2024-01-01 00:01:00 +0100", "40"))}},
     {"2023-12-31 30", "2024-01-01 40", "2024-02-29 20", "2024-03-01 10"}},
    {"AppleStrayControlCharactersAndProperDtd",
     "Apple Health",
     {{"apple_health_export/export.xml",
       AppleExport(AppleRecord("iPhone\x0b", "2024-05-01 10:00:00 +0200",
                               "1\x0b"
                               "5") +
                       AppleRecord("iPhone", "2024-05-01 11:00:00 +0200", "5"),
                   "<!DOCTYPE HealthData [\n<!ELEMENT HealthData ANY>\n]>\n")}},
     {"2024-05-01 20"}},
    {"GoogleFitColumnsByNameEmptyCellIsNoData",
     "Google Fit",
     {{"Takeout/Fit/Daily activity metrics/Daily activity metrics.csv",
       std::string(kGoogleHeader) + "2023-12-31,31,1800.5,5000.2,12,10,1.2,6500,3600000\n"
                                    "2024-01-01,0,1500.0,,,,,,\n"
                                    "2024-01-02,45,2100.0,8000.0,20,18,1.3,10250,5400000\n"},
      {"Takeout/Fit/Daily activity metrics/2024-01-02.csv",
       "Start time,End time,Move Minutes count,Step count\n"
       "00:00:00.000+01:00,00:15:00.000+01:00,1,99999\n"}},
     {"2023-12-31 6500", "2024-01-02 10250"}},
    {"GoogleFitOlderDailySummaries",
     "Google Fit",
     {{"Takeout/Fit/Daily Aggregations/Daily Summaries.csv",
       "\xEF\xBB\xBF"
       "Date,Step count,Calories (kcal)\r\n2019-06-01,1234,1700\r\n"}},
     {"2019-06-01 1234"}},
    {"SamsungAllDevicesRowsOnly",
     "Samsung Health",
     {{"samsunghealth_anna_20240610/com.samsung.shealth.step_daily_trend.20240610.csv",
       "com.samsung.shealth.step_daily_trend,1,2\n"
       "day_time,source_type,count,deviceuuid,binning_data,create_time,update_time,pkg_name,\n"
       "1717200000000,-2,8000,AAA,,1717286399000,1717286399000,com.sec.android.app.shealth,\n"
       "1717200000000,0,7000,BBB,,1717286399000,1717286399000,com.sec.android.app.shealth,\n"
       "1717200000000,1,2500,CCC,,1717286399000,1717286399000,com.sec.android.app.shealth,\n"
       "2024-06-02 00:00:00.000,-2,9100,AAA,,,,com.sec.android.app.shealth,\n"},
      {"samsunghealth_anna_20240610/com.samsung.shealth.tracker.pedometer_step_count."
       "20240610.csv",
       "com.samsung.shealth.tracker.pedometer_step_count,1,5\n"
       "start_time,count,deviceuuid\n2024-06-01 10:00:00.000,99999,AAA\n"}},
     {"2024-06-01 8000", "2024-06-02 9100"}},
    {"SamsungPrefixedColumnNames",
     "Samsung Health",
     {{"com.samsung.shealth.step_daily_trend.20240101.csv",
       "com.samsung.shealth.step_daily_trend,1,3\n"
       "com.samsung.health.step_count.day_time,com.samsung.health.step_count.count,"
       "com.samsung.health.step_count.source_type\n"
       "1704067200000,4321,-2\n1703980800000,1234,-2\n"}},
     {"2023-12-31 1234", "2024-01-01 4321"}},
    {"FitbitMinutesSummedPerDate",
     "Fitbit",
     {{"MyFitbitData/Anna/Physical Activity/steps-2023-12-31.json",
       "[" + FitbitSample("12/31/23 23:58:00", "13") + "," +
           FitbitSample("12/31/23 23:59:00", "7") + "," + FitbitSample("01/01/24 00:00:00", "0") +
           "," + FitbitSample("01/01/24 00:01:00", "21") + "]"},
      {"MyFitbitData/Anna/Physical Activity/calories-2023-12-31.json",
       "[" + FitbitSample("12/31/23 23:58:00", "1.25") + "]"}},
     {"2023-12-31 20", "2024-01-01 21"}},
    {"GarminDailySummaries",
     "Garmin Connect",
     {{"DI_CONNECT/DI-Connect-Aggregator/UDSFile_2023-12-30_2024-04-08.json",
       R"([{"userProfilePK":1,"calendarDate":"2023-12-31","totalSteps":8123,"dailyStepGoal":7500,
"totalDistanceMeters":6200,"heartRate":{"max":150}},
{"calendarDate":"2024-01-01","totalSteps":null,"dailyStepGoal":7500},
{"calendarDate":"2024-01-02","totalSteps":11002,"dailyStepGoal":7500}])"},
      {"DI_CONNECT/DI-Connect-Wellness/sleepData.json",
       R"([{"calendarDate":"2024-01-02","deepSleepSeconds":3600}])"}},
     {"2023-12-31 8123", "2024-01-02 11002"}},
};

// Zips as phones write them: deflated, with 64-bit sizes (exports of several
// GB), and stored without compression.
enum class Form { File, Zip, Zip64, StoredZip, Folder };

struct FormatTest : testing::TestWithParam<std::tuple<ExportCase, Form>> {
    ScopedTempDir dir;
};

TEST_P(FormatTest, GivesTheDaysTotals) {
    const auto& [test, form] = GetParam();
    fs::path offered;
    switch (form) {
    case Form::File:
        offered = "offered";
        WriteText(offered, test.entries.front().content);
        break;
    case Form::Zip:
    case Form::Zip64:
    case Form::StoredZip:
        offered = "export.zip";
        WriteZip(offered, test.entries,
                 form == Form::Zip64       ? "zip:zip64"
                 : form == Form::StoredZip ? "zip:compression=store"
                                           : nullptr);
        break;
    case Form::Folder:
        offered = "export";
        WriteFolder(offered, test.entries);
        break;
    }
    std::optional<ImportedSteps> steps = ReadExportFile(offered, {});
    ASSERT_TRUE(steps);
    EXPECT_EQ(steps->format, test.format);
    EXPECT_EQ(DayTexts(*steps), test.days);
    EXPECT_TRUE(steps->rejected.empty()) << steps->rejected.front().reason;
}

std::string CaseName(const testing::TestParamInfo<FormatTest::ParamType>& info) {
    static const char* forms[] = {"File", "Zip", "Zip64", "StoredZip", "Folder"};
    return std::string(std::get<0>(info.param).name) +
           forms[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Exports, FormatTest,
                         testing::Combine(testing::ValuesIn(kCases),
                                          testing::Values(Form::File, Form::Zip, Form::Zip64,
                                                          Form::StoredZip, Form::Folder)),
                         CaseName);

} // namespace
