// Files offered for import that are broken or built to hurt: each gets a clear
// refusal or the rows that can be read, never a crash, a hang or a flood of memory.
#include <chrono>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "ExportFile.h"
#include "ExportSamples.h"
#include "ImportError.h"
#include "ImportedDays.h"
#include "TempDir.h"
#include "TestArchive.h"

namespace fs = std::filesystem;

namespace {

const char kAppleStart[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<HealthData locale=\"en\">\n";

std::string AppleRecords(int count) {
    std::string records;
    for (int i = 0; i < count; ++i)
        records += "<Record type=\"HKQuantityTypeIdentifierStepCount\" sourceName=\"iPhone\" "
                   "startDate=\"2024-01-" +
                   std::to_string(10 + i % 20) + " 10:00:00 +0100\" value=\"" + std::to_string(i) +
                   "\"/>\n";
    return records;
}

// The message of the refusal, or "" when the file was read.
std::string Refusal(const fs::path& path) {
    return RefusalOf([&] { ReadExportFile(path, {}); });
}

long PeakMemoryMb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS usage{};
    GetProcessMemoryInfo(GetCurrentProcess(), &usage, sizeof usage);
    return static_cast<long>(usage.PeakWorkingSetSize >> 20);
#else
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
#endif
}

TEST(HostileExport, ZipBombIsRefusedAfterALittleOfIt) {
    ScopedTempDir dir;
    // 256 MiB of spaces pack into a quarter of a megabyte.
    WriteFilledZip("export.zip", "apple_health_export/export.xml", kAppleStart, ' ',
                   std::uint64_t{256} << 20);
    ASSERT_LT(fs::file_size("export.zip"), 1u << 20);
    const long before = PeakMemoryMb();
    EXPECT_EQ(Refusal("export.zip"),
              "export.zip unpacks \"apple_health_export/export.xml\" to far more than its packed "
              "size (a zip bomb?); it was not read");
    EXPECT_LT(PeakMemoryMb() - before, 64);
}

TEST(HostileExport, TruncatedZipIsRefused) {
    ScopedTempDir dir;
    WriteZip("export.zip", {{"apple_health_export/export.xml",
                             kAppleStart + AppleRecords(20000) + "</HealthData>\n"}});
    fs::resize_file("export.zip", fs::file_size("export.zip") / 2);
    EXPECT_NE(Refusal("export.zip").find("export.zip is a damaged zip file"), std::string::npos)
        << Refusal("export.zip");
}

// A sparse gigabyte: a hole of NUL bytes after an export's start.
TEST(HostileExport, HoleOfNulBytesIsRefused) {
    ScopedTempDir dir;
    WriteText("export.xml", kAppleStart);
    fs::resize_file("export.xml", std::uint64_t{1} << 30);
    EXPECT_EQ(Refusal("export.xml"), "export.xml holds megabytes of NUL or other control "
                                     "characters in a row, which no export does");
}

TEST(HostileExport, EntityExpansionIsRefused) {
    ScopedTempDir dir;
    std::string laughs =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE HealthData [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            laughs += "&lol" + std::to_string(i - 1) + ";";
        laughs += "\">\n";
    }
    laughs += "]>\n<HealthData><Record type=\"HKQuantityTypeIdentifierStepCount\" "
              "sourceName=\"&lol9;\" startDate=\"2024-01-01 10:00:00 +0100\" value=\"1\"/>"
              "</HealthData>\n";
    WriteText("export.xml", laughs);
    EXPECT_NE(Refusal("export.xml").find("export.xml is not readable XML: line 14"),
              std::string::npos)
        << Refusal("export.xml");
}

// The text repeated, with "%" in it replaced by the repeat's number.
std::string Repeated(const std::string& text, int count) {
    std::string repeated;
    const std::size_t mark = text.find('%');
    for (int i = 0; i < count; ++i)
        repeated += mark == std::string::npos
                        ? text
                        : text.substr(0, mark) + std::to_string(i) + text.substr(mark + 1);
    return repeated;
}

// Fields no reader uses, ",\"k\":1" over and over.
std::string ManyJsonFields(int count) {
    std::string fields;
    for (int i = 0; i < count; ++i)
        fields += ",\"k\":1";
    return fields;
}

struct RefusalCase {
    const char* name;
    std::string content;
    const char* refusal;
};

const std::vector<RefusalCase> kRefusals = {
    {"TruncatedXml", kAppleStart + AppleRecords(3).substr(0, 200),
     "export is not readable XML: line 4: unclosed token"},
    {"OtherRootElement",
     "<?xml version=\"1.0\"?>\n<HealthData/>"
     "<!-- a second root is not well-formed -->\n<Other/>",
     "export is not readable XML: line 3: junk after document element"},
    {"DeepXml", kAppleStart + Repeated("<a>", 1000),
     "export nests elements deeper than any export does"},
    {"ManyXmlAttributeNames", kAppleStart + Repeated("<e a%=\"1\"/>\n", 2000) + "</HealthData>",
     "export uses more element and attribute names than any export does"},
    {"ManyXmlElementNames", kAppleStart + Repeated("<e%/>\n", 2000) + "</HealthData>",
     "export uses more element and attribute names than any export does"},
    // Refused from within a handler of the XML parser, which must not be
    // unwound through.
    {"ManyXmlSources",
     kAppleStart + Repeated(AppleRecord("watch %", "2024-03-01 08:00:00 +0100", "5"), 1001) +
         "</HealthData>",
     "export names more sources of steps than any export does"},
    {"LongCsvLine", "com.samsung.shealth.step_daily_trend,1,2\n" + std::string(3 << 20, 'x'),
     "export line 2 is longer than any export writes"},
    {"LongJsonValue",
     "[{\"dateTime\":\"01/01/24 00:00:00\",\"value\":\"" + std::string(3 << 20, '1') + "\"}]",
     "export holds a JSON value longer than any export does"},
    {"TruncatedJson", "[{\"dateTime\":\"01/01/24 00:00:00\",\"value\":\"3\"},{\"dateTi",
     "export is not readable JSON: parse error at line 1, column 55: syntax error while parsing "
     "object key - invalid string: missing closing quote; last read: '\"dateTi'; expected "
     "string literal"},
    // 200,000 fields of six bytes: no one value is long, the object is.
    {"JsonObjectOfManyFields",
     "[{\"dateTime\":\"01/01/24 00:00:00\",\"value\":\"3\"" + ManyJsonFields(200'000) + "}]",
     "export holds a JSON value longer than any export does"},
    {"SamsungWithoutColumns", "com.samsung.shealth.step_daily_trend,1,2\nday,steps\n",
     "export has no day_time, source_type and count columns"},
};

class RefusedExport : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedExport, SaysWhy) {
    ScopedTempDir dir;
    WriteText("export", GetParam().content);
    EXPECT_EQ(Refusal("export"), GetParam().refusal);
}

std::string RefusalName(const testing::TestParamInfo<RefusalCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedExport, testing::ValuesIn(kRefusals), RefusalName);

struct RejectionCase {
    const char* name;
    std::string content;
    std::vector<std::string> days;
    std::size_t line;
    const char* reason;
};

const std::vector<RejectionCase> kRejections = {
    {"AppleValueNotACount",
     kAppleStart + AppleRecords(1) +
         "<Record type=\"HKQuantityTypeIdentifierStepCount\" sourceName=\"iPhone\" "
         "startDate=\"2024-01-11 10:00:00 +0100\" value=\"many\"/>\n</HealthData>\n",
     {"2024-01-10 0"},
     4,
     "a step record's value \"many\" is not a count of steps"},
    {"AppleStartNotADate",
     kAppleStart + std::string("<Record type=\"HKQuantityTypeIdentifierStepCount\" "
                               "startDate=\"yesterday\" value=\"5\"/>\n</HealthData>\n"),
     {},
     3,
     "a step record's start date \"yesterday\" is not a date"},
    {"GoogleDateNotIso",
     "Date,Step count\n2024-01-01,100\n01/02/2024,200\n",
     {"2024-01-01 100"},
     3,
     "the date is not YYYY-MM-DD"},
    {"GoogleDayBeyondAnEntry",
     "Date,Step count\n2024-01-01,4294967295\n",
     {},
     0,
     "2024-01-01: 4294967295 steps, more than a diary entry holds"},
    {"SamsungCountNotANumber",
     "com.samsung.shealth.step_daily_trend,1,2\nday_time,source_type,count\n"
     "1704067200000,-2,-5\n",
     {},
     3,
     "count is not a number of steps"},
    {"FitbitValueNotANumber",
     "[{\"dateTime\":\"01/01/24 00:00:00\",\"value\":\"3\"},"
     "{\"dateTime\":\"01/01/24 00:01:00\",\"value\":\"x\"}]",
     {"2024-01-01 3"},
     0,
     "record 2: the sample's value is not a number of steps"},
    {"GarminDateMissing",
     "[{\"calendarDate\":\"2024-01-01\",\"totalSteps\":5},{\"totalSteps\":7}]",
     {"2024-01-01 5"},
     0,
     "record 2: the day's calendarDate is not YYYY-MM-DD"},
    {"GarminCountBeyondAnEntry",
     "[{\"calendarDate\":\"2024-01-01\",\"totalSteps\":5},"
     "{\"calendarDate\":\"2024-01-02\",\"totalSteps\":1.7e19}]",
     {"2024-01-01 5"},
     0,
     "record 2: the day's totalSteps \"1.7e19\" is more steps than a diary entry holds"},
};

class RejectedRowOfExport : public testing::TestWithParam<RejectionCase> {};

TEST_P(RejectedRowOfExport, KeepsTheRestAndNamesTheRow) {
    ScopedTempDir dir;
    WriteText("export", GetParam().content);
    std::optional<ImportedSteps> steps = ReadExportFile("export", {});
    ASSERT_TRUE(steps);
    EXPECT_EQ(DayTexts(*steps), GetParam().days);
    ASSERT_EQ(steps->rejected.size(), 1u);
    EXPECT_EQ(steps->rejected[0].line, GetParam().line);
    EXPECT_EQ(steps->rejected[0].reason, GetParam().reason);
}

std::string RejectionName(const testing::TestParamInfo<RejectionCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, RejectedRowOfExport, testing::ValuesIn(kRejections), RejectionName);

TEST(HostileExport, FilesOfNoExportAreLeftToOtherReaders) {
    ScopedTempDir dir;
    WriteText("steps.csv", "date,steps\n2024-01-01,100\n");
    WriteText("empty", "");
    WriteText("binary", std::string("\x7f"
                                    "ELF\x02\x01\x01\0\0\0",
                                    10));
    WriteText("calories.json", "[{\"dateTime\":\"x\"}]");
    WriteZip("photos.zip", {{"DCIM/1.jpg", "\xff\xd8\xff\xe0"}});
    fs::create_directory("folder");
    WriteText("folder/notes.txt", "nothing here");
    for (const char* name :
         {"steps.csv", "empty", "binary", "calories.json", "photos.zip", "folder"})
        EXPECT_FALSE(ReadExportFile(name, {})) << name;
}

TEST(HostileExport, BrokenFileInAFolderIsNamed) {
    ScopedTempDir dir;
    WriteFolder("export", {{"apple_health_export/export.xml", kAppleStart}});
    EXPECT_EQ(Refusal("export/"), "export holds \"apple_health_export/export.xml\", which is not "
                                  "readable XML: line 3: no element found");
}

TEST(HostileExport, RejectedRowInAnExportNamesItsFile) {
    ScopedTempDir dir;
    WriteZip("fitbit.zip", {{"MyFitbitData/A/steps-2024-01-01.json",
                             "[{\"dateTime\":\"01/01/24 00:00:00\",\"value\":\"x\"}]"}});
    std::optional<ImportedSteps> steps = ReadExportFile("fitbit.zip", {});
    ASSERT_TRUE(steps);
    ASSERT_EQ(steps->rejected.size(), 1u);
    EXPECT_EQ(steps->rejected[0].line, 0u);
    EXPECT_EQ(steps->rejected[0].reason, "MyFitbitData/A/steps-2024-01-01.json: record 1: the "
                                         "sample's value is not a number of steps");
}

TEST(HostileExport, SecondFormatInAnExportIsNamedAsNotRead) {
    ScopedTempDir dir;
    WriteZip("both.zip",
             {{"apple_health_export/export.xml", kAppleStart + AppleRecords(1) + "</HealthData>\n"},
              {"DI_CONNECT/UDSFile.json", "[{\"calendarDate\":\"2024-02-01\",\"totalSteps\":5}]"}});
    std::optional<ImportedSteps> steps = ReadExportFile("both.zip", {});
    ASSERT_TRUE(steps);
    EXPECT_EQ(DayTexts(*steps), std::vector<std::string>{"2024-01-10 0"});
    ASSERT_EQ(steps->rejected.size(), 1u);
    EXPECT_EQ(steps->rejected[0].reason, "DI_CONNECT/UDSFile.json: holds Garmin Connect data, not "
                                         "read: only the Apple Health export beside it was read");
}

TEST(HostileExport, FifoIsRefusedWithoutWaiting) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no pipes in a directory";
#else
    ScopedTempDir dir;
    ASSERT_EQ(mkfifo("export.xml", 0600), 0);
    EXPECT_EQ(Refusal("export.xml"), "export.xml is not a regular file");
#endif
}

} // namespace
