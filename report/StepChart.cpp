#include "StepChart.h"

#include <algorithm>
#include <ctime>
#include <optional>

#include "ChartLine.h"
#include "EntryDate.h"
#include "LabelFont.h"

namespace {

constexpr int kPlotLeft = 50;
constexpr int kPlotRight = 450;
constexpr int kPlotTop = 10;
constexpr int kPlotBottom = 250;
constexpr int kPlotWidth = kPlotRight - kPlotLeft;
constexpr int kPlotHeight = kPlotBottom - kPlotTop;
constexpr int kTickLabelHalfWidth = 18;
constexpr int kTickLabelHeight = 20;
// Date labels sit below the plot in two rows, so that crowded ones alternate.
constexpr int kTickLabelTop = kPlotBottom + 10;
constexpr int kTickLabelLoweredTop = kTickLabelTop + 10;
// About ten date ticks span the plot.
constexpr std::int64_t kTicksPerSpan = 10;
// A value label starts just above and right of its point.
constexpr int kValueLabelGap = 3;
constexpr int kValueLabelWidth = 70;
constexpr int kValueLabelHeight = 17;
constexpr std::int64_t kSecondsPerDay = 86400;
// Further off the canvas than any drawing needs, yet well inside an int.
constexpr double kFarOffPixels = 1e6;
// Points sit at 02:00 local time, and the last date is measured at 02:00 too,
// so that a short day at a clock change still counts as a whole day.
constexpr std::uint16_t kPointHour = 2;
constexpr std::time_t kPointOffsetSeconds = 2 * 3600;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGridColour{200, 200, 200};
constexpr Rgb kLineColour{200, 70, 50};
constexpr Rgb kMarkerColour{60, 30, 30};
constexpr Rgb kValueTextColour{30, 0, 60};

// Whole days from the first date's midnight map linearly onto x 50 to 450.
class TimeAxis {
public:
    TimeAxis(const StepRecord& first, const StepRecord& last)
        : firstTime_(EntryTime(first)), lastTime_(EntryTime(last) + kPointOffsetSeconds) {
        // A list out of date order must not turn the scale around.
        spanDays_ = std::max<std::int64_t>(DayOffset(lastTime_), 0);
        xScale_ =
            spanDays_ > 0 ? static_cast<double>(kPlotWidth) / static_cast<double>(spanDays_) : 0.0;
    }

    std::time_t FirstTime() const { return firstTime_; }
    std::time_t LastTime() const { return lastTime_; }
    std::int64_t SpanDays() const { return spanDays_; }

    std::int64_t DayOffset(std::time_t t) const { return (t - firstTime_) / kSecondsPerDay; }

    // All entries on one date stand in the middle of the plot.
    int X(std::int64_t dayOffset) const {
        if (spanDays_ == 0)
            return (kPlotLeft + kPlotRight) / 2;
        // An entry dated far outside the span (list order is by text, undatable
        // entries sit at time 0) would not fit an int; anything this far off
        // the canvas is clamped or clipped by the callers all the same.
        const double x = static_cast<double>(dayOffset) * xScale_ + kPlotLeft;
        return static_cast<int>(std::clamp(x, -kFarOffPixels, kFarOffPixels));
    }

private:
    std::time_t firstTime_;
    std::time_t lastTime_;
    std::int64_t spanDays_ = 0;
    double xScale_ = 0.0;
};

// Counts from 0 to the maximum map linearly onto y 250 up to 10. A diary of
// nothing but zeros is drawn on the scale of a maximum of 1, so that its grid
// labels still tell the truth.
class CountAxis {
public:
    explicit CountAxis(std::uint32_t maximum)
        : maximum_(std::max<std::uint32_t>(maximum, 1)),
          yScale_(static_cast<double>(kPlotHeight) / maximum_) {}

    std::uint32_t Maximum() const { return maximum_; }

    int Y(std::uint64_t count) const {
        return kPlotBottom - static_cast<int>(static_cast<double>(count) * yScale_);
    }

    // A tenth of the maximum, rounded up. The bias is 1 less a float's
    // precision at 1, so that a tenth a hair above a whole number because
    // 0.1 is inexact comes out even.
    std::uint64_t GridStep() const {
        constexpr double kRoundUpBias = 1.0 - 0x1p-23;
        return static_cast<std::uint64_t>(maximum_ * 0.1 + kRoundUpBias);
    }

private:
    std::uint32_t maximum_;
    double yScale_;
};

Rect TickLabelBox(int x, bool lowered) {
    const int top = lowered ? kTickLabelLoweredTop : kTickLabelTop;
    return {x - kTickLabelHalfWidth, top, x + kTickLabelHalfWidth, top + kTickLabelHeight};
}

std::vector<DateTick> LayoutDateTicks(const TimeAxis& axis) {
    const std::int64_t stepDays = axis.SpanDays() / kTicksPerSpan + 1;
    std::vector<DateTick> ticks;
    int previousRight = 0;
    bool lowered = false;
    std::optional<std::tm> lastTickDate;
    // A tick past the last date is never drawn, even where its x would round
    // down onto the right edge of a long span.
    for (std::int64_t dayOffset = 0; dayOffset <= axis.SpanDays(); dayOffset += stepDays) {
        const int x = axis.X(dayOffset);
        if (x > kPlotRight)
            break;
        // Overlapping labels alternate between the two rows; a label clear of
        // its neighbour stays on the upper row but leaves the alternation as is.
        bool lowerThis = false;
        if (previousRight > x - kTickLabelHalfWidth) {
            lowered = !lowered;
            lowerThis = lowered;
        }
        previousRight = x + kTickLabelHalfWidth;
        lastTickDate = LocalDateAfter(axis.FirstTime(), dayOffset);
        ticks.push_back({x, lastTickDate ? FormatLocalDate(*lastTickDate, "%m %d") : std::string(),
                         TickLabelBox(x, lowerThis)});
    }

    const std::optional<std::tm> lastDate = LocalDateAfter(axis.LastTime(), 0);
    if (lastTickDate && lastDate && IsEarlierDate(*lastTickDate, *lastDate)) {
        const int x = axis.X(axis.SpanDays());
        ticks.push_back({x, FormatEntryTime(axis.LastTime(), "%m %d"),
                         TickLabelBox(x, previousRight > x - kTickLabelHalfWidth && !lowered)});
    }
    return ticks;
}

void DrawLine(Canvas& canvas, int x0, int y0, int x1, int y1, Rgb colour) {
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1, colour);
}

void DrawLabel(Canvas& canvas, const LabelFont* font, const std::string& text, const Rect& box) {
    if (font)
        font->DrawText(canvas, text, box, TextAlign::Centre, {kBlack, true, kWhite});
}

void DrawDateTicks(Canvas& canvas, const LabelFont* font, const TimeAxis& axis) {
    for (const DateTick& tick : LayoutDateTicks(axis)) {
        DrawLine(canvas, tick.x, kPlotTop, tick.x, kPlotBottom, kGridColour);
        DrawLabel(canvas, font, tick.label, tick.labelBox);
    }
}

void DrawGrid(Canvas& canvas, const LabelFont* font, std::uint32_t maximum) {
    for (const GridLine& line : LayoutGridLines(maximum)) {
        DrawLine(canvas, kPlotLeft, line.y, kPlotRight, line.y, kGridColour);
        DrawLabel(canvas, font, line.label, line.labelBox);
    }
}

// Entries beyond the diary's maximum would be drawn above the plot.
std::uint32_t LargestCount(const std::vector<StepRecord>& entries, std::uint32_t maximum) {
    std::uint32_t largest = maximum;
    for (const StepRecord& entry : entries)
        largest = std::max(largest, entry.steps);
    return largest;
}

std::vector<ChartPoint> LayoutPoints(const std::vector<StepRecord>& entries,
                                     const TimeAxis& timeAxis, const CountAxis& countAxis) {
    std::vector<ChartPoint> points;
    points.reserve(entries.size());
    points.push_back({timeAxis.X(0), countAxis.Y(entries.front().steps)});
    for (std::size_t i = 1; i < entries.size(); ++i) {
        StepRecord atPointHour = entries[i];
        atPointHour.hour = kPointHour;
        const std::time_t t = EntryTime(atPointHour);
        points.push_back({std::clamp(timeAxis.X(timeAxis.DayOffset(t)), kPlotLeft, kPlotRight),
                          countAxis.Y(entries[i].steps)});
    }
    return points;
}

void DrawEntries(Canvas& canvas, const LabelFont* font, const std::vector<StepRecord>& entries,
                 const TimeAxis& timeAxis, const CountAxis& countAxis, bool drawValues) {
    const std::vector<ChartPoint> points = LayoutPoints(entries, timeAxis, countAxis);
    if (!drawValues || !font) {
        DrawChartLine(canvas, points, kLineColour, kMarkerColour);
        return;
    }
    // Each label is drawn over the line and markers before it, so the points
    // are drawn one by one in turn with the labels.
    const TextStyle valueStyle{kValueTextColour, false, kWhite};
    canvas.MoveTo(points[0].x, points[0].y);
    FillMarker(canvas, points[0], kMarkerColour);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const auto [x, y] = points[i];
        canvas.LineTo(x, y, kLineColour);
        FillMarker(canvas, points[i], kMarkerColour);
        StepRecord atPointHour = entries[i];
        atPointHour.hour = kPointHour;
        const std::string text =
            FormatEntryDate(atPointHour, "%m %d") + " - " + std::to_string(entries[i].steps);
        const int left = x + kValueLabelGap;
        const int top = y - kValueLabelGap;
        font->DrawText(canvas, text, {left, top, left + kValueLabelWidth, top + kValueLabelHeight},
                       TextAlign::Left, valueStyle);
    }
}

} // namespace

std::vector<DateTick> LayoutDateTicks(const StepRecord& first, const StepRecord& last) {
    return LayoutDateTicks(TimeAxis(first, last));
}

std::vector<GridLine> LayoutGridLines(std::uint32_t maximum) {
    const CountAxis axis(maximum);
    const auto labelBox = [](int y) { return Rect{0, y - 7, kPlotLeft, y + 20}; };
    std::vector<GridLine> lines;
    // 64 bits, so that a step past the largest 32-bit count still ends the loop.
    std::uint64_t value = 0;
    for (int y = kPlotBottom; y >= kPlotTop; y = axis.Y(value)) {
        lines.push_back({y, std::to_string(value), labelBox(y)});
        value += axis.GridStep();
    }
    const int top = axis.Y(axis.Maximum());
    lines.push_back({top, std::to_string(axis.Maximum()), labelBox(top)});
    return lines;
}

std::vector<ChartPoint> LayoutChartPoints(const std::vector<StepRecord>& entries,
                                          std::uint32_t maximum) {
    if (entries.empty())
        return {};
    return LayoutPoints(entries, TimeAxis(entries.front(), entries.back()),
                        CountAxis(LargestCount(entries, maximum)));
}

void DrawStepChart(Canvas& canvas, const LabelFont* font, const std::vector<StepRecord>& entries,
                   std::uint32_t maximum, bool drawValues) {
    canvas.FillRect({0, 0, canvas.Width(), canvas.Height()}, kWhite);
    if (entries.empty())
        return;
    const TimeAxis timeAxis(entries.front(), entries.back());
    const CountAxis countAxis(LargestCount(entries, maximum));

    DrawLine(canvas, kPlotLeft, kPlotBottom, kPlotRight, kPlotBottom, kGridColour);
    DrawDateTicks(canvas, font, timeAxis);
    DrawLine(canvas, kPlotLeft, kPlotTop, kPlotLeft, kPlotBottom, kGridColour);
    DrawGrid(canvas, font, countAxis.Maximum());
    DrawEntries(canvas, font, entries, timeAxis, countAxis, drawValues);
}
