// The calls the fault injection fails are the ones the program makes: each
// kind of call is counted where the program makes it.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "CStepFile.h"
#include "DataHome.h"
#include "ImportFile.h"
#include "InjectedFault.h"
#include "InputFile.h"
#include "ProgressMeter.h"
#include "TempDir.h"
#include "TestArchive.h"
#include "TestDiary.h"
#include "ZipArchive.h"

namespace {

struct Reach {
    const char* what;
    FileCall call;
    std::function<void()> run;
};

void ReadOfferedFile() {
    WriteText("steps.csv", "2024-03-01,1000\n");
    InputFile file("steps.csv");
    char bytes[8];
    file.Read(bytes, sizeof bytes);
}

void OpenZip() {
    WriteZip("export.zip", {{"steps.csv", "2024-03-01,1000\n"}});
    InputFile file("export.zip");
    ProgressMeter meter(ImportProgress{}, file.Size());
    ZipArchive archive(file, meter);
}

const Reach kReaches[] = {
    {"opening the diary", FileCall::Control, [] { CStepFile file(HereFiles()); }},
    {"reading a file offered for import", FileCall::Read, ReadOfferedFile},
    {"opening a zip offered for import", FileCall::Read, OpenZip},
    {"making the data directory", FileCall::MakeDirectory,
     [] { MakeDataHome(std::filesystem::current_path() / "share" / "trekline"); }},
};

} // namespace

TEST(ReachedCallsTest, EveryKindOfCallIsCountedWhereTheProgramMakesIt) {
    for (const Reach& reach : kReaches) {
        ScopedTempDir dir;
        ArmFault({});
        reach.run();
        const std::vector<FileCall> calls = DisarmFault();
        EXPECT_NE(std::find(calls.begin(), calls.end(), reach.call), calls.end())
            << reach.what << " made " << DescribeCalls(calls);
    }
}

// Telling what a file offered for import is takes no second open of it.
TEST(ReachedCallsTest, AFileOfferedForImportIsOpenedOnce) {
    ScopedTempDir dir;
    WriteText("steps.csv", "2024-03-01,1000\n");
    ArmFault({});
    ReadImportFile("steps.csv", {});
    const std::vector<FileCall> calls = DisarmFault();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), FileCall::Open), 1) << DescribeCalls(calls);
}

TEST(ReachedCallsTest, AFailedFcntlOnOpeningKeepsTheDiaryClosedAndSaysSo) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 3, 1, 1)});
    ArmFault({});
    { CStepFile counted(HereFiles()); }
    const std::vector<FileCall> calls = DisarmFault();
    const auto at = std::find(calls.begin(), calls.end(), FileCall::Control);
    ASSERT_NE(at, calls.end());
    FaultPlan plan;
    plan.failAt = static_cast<int>(at - calls.begin()) + 1;
    ArmFault(plan);
    CStepFile file(HereFiles());
    DisarmFault();
    EXPECT_FALSE(file.IsOk());
    EXPECT_EQ(file.Failure().Call(), "fcntl");
    EXPECT_EQ(file.Failure().Error(), EIO);
}
