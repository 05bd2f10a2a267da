#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ChartLine.h"
#include "StepRecord.h"

class LabelFont;

// A date on the time axis: the tick line at x and the label below it.
struct DateTick {
    int x = 0;
    std::string label; // month and day, "03 15"
    Rect labelBox;
};

// A step count on the value axis: the grid line at y and the label left of it.
struct GridLine {
    int y = 0;
    std::string label;
    Rect labelBox;
};

// The date ticks for entries from the first to the last date, left to right:
// about ten evenly spaced whole days starting at the first date, and one more
// for the last date when the spacing does not land on it. A label that would
// overlap its left neighbour moves down a row.
std::vector<DateTick> LayoutDateTicks(const StepRecord& first, const StepRecord& last);

// The grid from zero in steps of a tenth of the maximum (rounded up) as far as
// the top of the plot, followed by the line for the maximum itself.
std::vector<GridLine> LayoutGridLines(std::uint32_t maximum);

// Where the entries' points stand, in order: x by date, clamped into the
// plot, y by count on the scale of the larger of maximum and every count.
std::vector<ChartPoint> LayoutChartPoints(const std::vector<StepRecord>& entries,
                                          std::uint32_t maximum);

// Draws the whole chart on a 500 by 300 canvas: white background, axes, date
// ticks, grid, then the entries in the given (date) order as a line with a
// marker on each, and optionally each entry's date and count beside it.
// maximum is the largest count in the diary; without a font the labels are
// left out and everything else is drawn.
void DrawStepChart(Canvas& canvas, const LabelFont* font, const std::vector<StepRecord>& entries,
                   std::uint32_t maximum, bool drawValues);
