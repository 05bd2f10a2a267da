// Any bytes offered for import as a phone's or watch's export: the readers
// refuse or read them, and what they read is a sound list of days.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "ExportFile.h"
#include "FuzzHarness.h"
#include "ImportError.h"
#include "StepRecord.h"

namespace fs = std::filesystem;

namespace {

std::string g_offered;

void CheckDays(const ImportedSteps& steps) {
    CHECK(!steps.format.empty());
    for (std::size_t i = 0; i < steps.rows.size(); ++i) {
        CHECK(steps.rows[i].date.ok());
        CHECK(steps.rows[i].steps != kEndMarker);
        // One row a date, in date order.
        if (i > 0)
            CHECK(steps.rows[i - 1].date < steps.rows[i].date);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_offered = FuzzDirectory("trekline-export-fuzz") / "offered";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(g_offered, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::uint64_t lastDone = 0;
    try {
        auto steps = ReadExportFile(g_offered, [&](std::uint64_t done, std::uint64_t total) {
            CHECK(done >= lastDone && done <= total && total == size);
            lastDone = done;
            return true;
        });
        if (steps)
            CheckDays(*steps);
    } catch (const ImportError& error) {
        CHECK(std::string(error.what()).starts_with("offered "));
    }
    return 0;
}
