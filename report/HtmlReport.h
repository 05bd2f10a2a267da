#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FileStatus.h"
#include "StepRecord.h"

// The report page: the chart picture "data_steps.bmp" and one row per entry,
// in the order given, with its date and the distance walked that day.
std::string FormatHtmlReport(const std::vector<StepRecord>& entries, std::uint32_t stepLength);

// Writes the page so that the path holds either the previous page or the
// whole new one; a failure when it could not be written or the previous page
// may not be replaced (a read-only file).
FileStatus WriteHtmlReportFile(const std::filesystem::path& path,
                               const std::vector<StepRecord>& entries, std::uint32_t stepLength);
