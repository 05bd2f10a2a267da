#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "StepRecord.h"

// How many characters of the step length edit count.
inline constexpr std::size_t kStepLengthTextLimit = 29;

// The step length in centimetres, read as strtoul reads base 10: leading
// blanks skipped, an optional sign, digits up to the first non-digit; no
// digits give 0, too large a value gives the largest, a minus sign negates in
// unsigned 32-bit arithmetic.
std::uint32_t ParseStepLength(std::string_view text);

// The report page: the chart picture "data_steps.bmp" and one row per entry,
// in the order given, with its date and the distance walked that day.
std::string FormatHtmlReport(const std::vector<StepRecord>& entries, std::uint32_t stepLength);

// Writes the page so that the path holds either the previous page or the
// whole new one; false when it could not be written or the previous page may
// not be replaced (a read-only file).
bool WriteHtmlReportFile(const std::filesystem::path& path, const std::vector<StepRecord>& entries,
                         std::uint32_t stepLength);
