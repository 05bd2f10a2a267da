#pragma once

#include <cstdint>
#include <vector>

#include "DiaryFiles.h"
#include "FileStatus.h"
#include "StepRecord.h"

// What the report shows, from one read of the diary.
struct ReportData {
    std::vector<StepRecord> entries; // in the list's order; entries gone from the file left out
    std::uint32_t maximum = 0;       // the largest count in the whole diary
    // False when the diary could not be read: the entries are then not the
    // diary's, and a report made from them would replace a good one with an
    // empty or partial one.
    bool complete = true;
    // The diary holds more than any diary could and was not read.
    bool tooLarge = false;
    // Why the diary could not be read, when it could not.
    FileStatus failure;
};

// Looks every listed identifier up in the diary.
// Each lookup answers as a backwards scan would (the newest record with the
// identifier, nothing beyond a stored end marker), from a single read.
ReportData LoadReportData(const DiaryFiles& files, const std::vector<std::uint32_t>& identifiers);

// The depth the chart is drawn at where no display tells one: that of a
// true-colour display.
inline constexpr int kTrueColourBitsPerPixel = 32;

// The bits per pixel a display of that colour depth keeps its pixels in, which
// is what the chart is drawn at: displays store 15-bit colour in 16-bit pixels
// and 24- or 30-bit colour in 32-bit ones. A depth of 0 or less is unknown and
// gives the true-colour depth.
int DisplayBitsPerPixel(int colourDepth);

// Draws the chart of the entries at that many bits per pixel and stores it as
// the diary's chart picture; a failure says why it could not be stored.
FileStatus SaveChartPicture(const DiaryFiles& files, const ReportData& data, bool drawValues,
                            int bitsPerPixel);
