// Gadgetbridge's database export: samples per device and minute, in the
// user's time zone, from every activity sample table it can read.
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "ExportFile.h"
#include "GadgetbridgeDatabase.h"
#include "ImportError.h"
#include "ImportedDays.h"
#include "InputFile.h"
#include "ProgressMeter.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// A database made the way the app makes its export, without an extension.
class TestDatabase {
public:
    explicit TestDatabase(const fs::path& path) {
        sqlite3_open(path.string().c_str(), &db_);
        Run("PRAGMA journal_mode = DELETE");
        Run("PRAGMA synchronous = OFF");
    }
    ~TestDatabase() { sqlite3_close(db_); }

    void Run(const std::string& sql) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
    }
    void SampleTable(const std::string& name) {
        Run("CREATE TABLE " + name +
            " (TIMESTAMP INTEGER NOT NULL, DEVICE_ID INTEGER NOT NULL, USER_ID INTEGER NOT NULL,"
            " RAW_INTENSITY INTEGER, STEPS INTEGER, RAW_KIND INTEGER, HEART_RATE INTEGER,"
            " PRIMARY KEY (TIMESTAMP, DEVICE_ID))");
    }
    void Sample(const std::string& table, long long timestamp, int device, int steps) {
        Run("INSERT INTO " + table + " VALUES (" + std::to_string(timestamp) + ", " +
            std::to_string(device) + ", 1, 40, " + std::to_string(steps) + ", 1, 70)");
    }

private:
    sqlite3* db_ = nullptr;
};

// 2024-01-01 00:00:00 UTC.
constexpr long long kNewYearUtc = 1704067200;

void WriteSamples(const fs::path& path) {
    TestDatabase db(path);
    db.Run("CREATE TABLE DEVICE (_id INTEGER PRIMARY KEY, NAME TEXT, MANUFACTURER TEXT)");
    db.Run("INSERT INTO DEVICE VALUES (1, 'Mi Band 6', 'Xiaomi'), (2, 'Bip', 'Amazfit')");
    db.SampleTable("MI_BAND_ACTIVITY_SAMPLE");
    db.SampleTable("HUAMI_EXTENDED_ACTIVITY_SAMPLE");
    // Device 1 at 23:00 and 23:01 UTC on New Year's Eve, the first minute
    // stored twice by a re-sync seconds apart, and one minute without data.
    db.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc - 3600, 1, 100);
    db.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc - 3600 + 20, 1, 120);
    db.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc - 3540, 1, 30);
    db.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc - 3480, 1, -1);
    // Device 2 wears the same walk with fewer steps, in another table.
    db.Sample("HUAMI_EXTENDED_ACTIVITY_SAMPLE", kNewYearUtc - 3600, 2, 90);
    // 12:00 UTC on New Year's Day: the same date east and west.
    db.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc + 12 * 3600, 1, 500);
    db.Sample("HUAMI_EXTENDED_ACTIVITY_SAMPLE", kNewYearUtc + 12 * 3600, 2, 700);
}

struct ZoneCase {
    const char* zone;
    std::vector<std::string> days;
};

class GadgetbridgeZones : public testing::TestWithParam<ZoneCase> {};

TEST_P(GadgetbridgeZones, LargestDevicePerLocalDate) {
#ifdef _WIN32
    if (std::string(GetParam().zone) != "UTC")
        GTEST_SKIP() << kNoZoneRules;
#endif
    ScopedTempDir dir;
    ScopedTimeZone zone(GetParam().zone);
    WriteSamples("Gadgetbridge");
    std::optional<ImportedSteps> steps = ReadExportFile("Gadgetbridge", {});
    ASSERT_TRUE(steps);
    EXPECT_EQ(steps->format, "Gadgetbridge");
    EXPECT_EQ(DayTexts(*steps), GetParam().days);
    EXPECT_TRUE(steps->rejected.empty());
}

std::string ZoneName(const testing::TestParamInfo<ZoneCase>& param) {
    std::string name = param.param.zone;
    std::erase(name, '/');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Zones, GadgetbridgeZones,
                         testing::Values(
                             // 23:00 UTC is 08:00 the next day in Tokyo: New Year's Day holds both
                             // walks, and the second device has more of that day.
                             ZoneCase{"Asia/Tokyo", {"2024-01-01 790"}},
                             ZoneCase{"America/New_York", {"2023-12-31 150", "2024-01-01 700"}},
                             ZoneCase{"UTC", {"2023-12-31 150", "2024-01-01 700"}}),
                         ZoneName);

TEST(Gadgetbridge, OpensTheExportWithoutChangingIt) {
    ScopedTempDir dir;
    WriteSamples("Gadgetbridge.db");
    const std::vector<unsigned char> before = ReadFileBytes("Gadgetbridge.db");
    fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(ReadExportFile("Gadgetbridge.db", {}));
    fs::permissions(".", fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes("Gadgetbridge.db"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST(Gadgetbridge, NamesSampleTablesItCannotRead) {
    ScopedTempDir dir;
    {
        TestDatabase db("Gadgetbridge");
        db.SampleTable("MI_BAND_ACTIVITY_SAMPLE");
        db.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc, 1, 42);
        db.Run("CREATE TABLE PEBBLE_MISFIT_ACTIVITY_SAMPLE (TIMESTAMP INTEGER, RAW_PEBBLE_DATA "
               "INTEGER)");
    }
    ScopedTimeZone zone("UTC");
    std::optional<ImportedSteps> steps = ReadExportFile("Gadgetbridge", {});
    ASSERT_TRUE(steps);
    EXPECT_EQ(DayTexts(*steps), std::vector<std::string>{"2024-01-01 42"});
    ASSERT_EQ(steps->rejected.size(), 1u);
    EXPECT_NE(steps->rejected[0].reason.find("PEBBLE_MISFIT_ACTIVITY_SAMPLE"), std::string::npos);
}

TEST(Gadgetbridge, RefusesADatabaseWithOtherTablesOnly) {
    ScopedTempDir dir;
    {
        TestDatabase db("contacts");
        db.Run("CREATE TABLE PEOPLE (NAME TEXT, STEPS INTEGER)");
        db.Run("INSERT INTO PEOPLE VALUES ('Anna', 5)");
    }
    try {
        ReadExportFile("contacts", {});
        FAIL() << "read";
    } catch (const ImportError& error) {
        EXPECT_STREQ(error.what(), "contacts is a SQLite database without Gadgetbridge's "
                                   "activity samples");
    }
}

// What takes the export's name between the check of the offered file and the
// read: another database, or a FIFO that would block an open by name.
struct SwapCase {
    const char* name;
    void (*put)(const fs::path&);
};

class GadgetbridgeSwapped : public testing::TestWithParam<SwapCase> {};

TEST_P(GadgetbridgeSwapped, TheCheckedFileIsRead) {
    ScopedTempDir dir;
    ScopedTimeZone zone("UTC");
    WriteSamples("Gadgetbridge");
    InputFile checked("Gadgetbridge");
    fs::rename("Gadgetbridge", "moved");
    GetParam().put("Gadgetbridge");
    ProgressMeter meter({}, checked.Size());
    DailySteps daily;
    ReadGadgetbridgeDatabase(checked, meter, daily);
    EXPECT_EQ(DayTexts(std::move(daily).Finish("Gadgetbridge")),
              (std::vector<std::string>{"2023-12-31 150", "2024-01-01 700"}));
}

const SwapCase kSwaps[] = {
    {"OtherDatabase",
     [](const fs::path& path) {
         TestDatabase other(path);
         other.SampleTable("MI_BAND_ACTIVITY_SAMPLE");
         other.Sample("MI_BAND_ACTIVITY_SAMPLE", kNewYearUtc, 1, 42);
     }},
#ifndef _WIN32 // no pipes in a directory on Windows
    {"Fifo", [](const fs::path& path) { mkfifo(path.c_str(), 0600); }},
#endif
};

INSTANTIATE_TEST_SUITE_P(
    Names, GadgetbridgeSwapped, testing::ValuesIn(kSwaps),
    [](const testing::TestParamInfo<SwapCase>& param) { return std::string(param.param.name); });

} // namespace

// A page damaged inside (the fuzzer's find), read where a sound export was
// read just before: refused each time, never read from what memory held.
TEST(Gadgetbridge, ADamagedPageIsRefusedEveryTime) {
    ScopedTempDir dir;
    const fs::path seeds = fs::path(TREKLINE_FUZZ_SEEDS) / "export-corpus";
    fs::copy_file(seeds / "gadgetbridge.db", "Gadgetbridge");
    ASSERT_TRUE(ReadExportFile("Gadgetbridge", {}));
    // Written over in place; libstdc++ on Windows refuses to copy over a file.
    WriteFileBytes("Gadgetbridge", ReadFileBytes(seeds / "damaged-gadgetbridge.db"));
    for (int read = 0; read < 3; ++read)
        EXPECT_NE(RefusalOf([] { ReadExportFile("Gadgetbridge", {}); }).find("malformed"),
                  std::string::npos)
            << "read " << read;
}
