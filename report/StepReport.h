#pragma once

#include <cstdint>
#include <vector>

#include "StepRecord.h"

// What the report shows, from one read of the diary.
struct ReportData {
    std::vector<StepRecord> entries; // in the list's order; entries gone from the file left out
    std::uint32_t maximum = 0;       // the largest count in the whole diary
    // False when the diary could not be read: the entries are then not the
    // diary's, and a report made from them would replace a good one with an
    // empty or partial one.
    bool complete = true;
};

// Looks every listed identifier up in "data.steps" of the current directory.
// Each lookup answers as a backwards scan would (the newest record with the
// identifier, nothing beyond a stored end marker), from a single read.
ReportData LoadReportData(const std::vector<std::uint32_t>& identifiers);

// Draws the chart of the entries and stores it as "data_steps.bmp" in the
// current directory.
void SaveChartPicture(const ReportData& data, bool drawValues);
