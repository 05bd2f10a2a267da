#pragma once

#include <vector>

#include "Canvas.h"

// A point of the chart's line, in canvas pixels.
struct ChartPoint {
    int x = 0;
    int y = 0;
};

// The marker on a point: a 6 by 6 square around it.
void FillMarker(Canvas& canvas, ChartPoint point, Rgb colour);

// Draws the line through the points in order with a marker on each, the same
// pixels as drawing each segment and then the marker at its end, in turn.
// Decades of entries put hundreds of points in one pixel column; such a run
// is drawn once, each pixel in the colour of the last drawing that covers it.
void DrawChartLine(Canvas& canvas, const std::vector<ChartPoint>& points, Rgb line, Rgb marker);
