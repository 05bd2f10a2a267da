#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Canvas.h"
#include "LabelFont.h"
#include "StepChart.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrid{200, 200, 200};
constexpr Rgb kLine{200, 70, 50};
constexpr Rgb kMarker{60, 30, 30};

StepRecord Entry(int year, int month, int day, std::uint32_t steps = 0) {
    return DiaryEntry(steps, year, month, day);
}

std::vector<int> TickXs(const std::vector<DateTick>& ticks) {
    std::vector<int> xs;
    for (const DateTick& tick : ticks)
        xs.push_back(tick.x);
    return xs;
}

std::vector<std::string> TickLabels(const std::vector<DateTick>& ticks) {
    std::vector<std::string> labels;
    for (const DateTick& tick : ticks)
        labels.push_back(tick.label);
    return labels;
}

// Remembers what the chart asks to be written, so labels can be checked as text.
class RecordingFont : public LabelFont {
public:
    struct Call {
        std::string text;
        Rect box;
        TextAlign align;
        TextStyle style;
    };

    void DrawText(Canvas&, std::string_view text, const Rect& box, TextAlign align,
                  const TextStyle& style) const override {
        calls.push_back({std::string(text), box, align, style});
    }
    int TextWidth(std::string_view text) const override {
        return 6 * static_cast<int>(text.size());
    }
    int Ascent() const override { return 10; }
    int Descent() const override { return 2; }

    mutable std::vector<Call> calls;
};

Canvas Chart(const LabelFont* font, const std::vector<StepRecord>& entries, std::uint32_t maximum,
             bool drawValues) {
    Canvas canvas(500, 300, 32);
    DrawStepChart(canvas, font, entries, maximum, drawValues);
    return canvas;
}

// The marker's 6 by 6 block, apart from the pixels the outgoing line crosses.
void ExpectMarker(const Canvas& canvas, int x, int y) {
    SCOPED_TRACE(testing::Message() << "marker at " << x << ", " << y);
    EXPECT_EQ(canvas.PixelAt(x - 3, y - 3), kMarker);
    EXPECT_EQ(canvas.PixelAt(x + 2, y - 3), kMarker);
    EXPECT_EQ(canvas.PixelAt(x - 3, y + 2), kMarker);
    EXPECT_NE(canvas.PixelAt(x - 4, y - 3), kMarker);
    EXPECT_NE(canvas.PixelAt(x + 3, y - 3), kMarker);
    EXPECT_NE(canvas.PixelAt(x - 3, y + 3), kMarker);
    EXPECT_NE(canvas.PixelAt(x - 3, y - 4), kMarker);
}

} // namespace

TEST(StepChartTest, DateTicksOfTheWorkedExamples) {
    ScopedTimeZone zone("Europe/Berlin");

    auto ticks = LayoutDateTicks(Entry(2006, 3, 1), Entry(2006, 3, 11));
    EXPECT_EQ(TickXs(ticks), (std::vector<int>{50, 130, 210, 290, 370, 450}));
    EXPECT_EQ(TickLabels(ticks),
              (std::vector<std::string>{"03 01", "03 03", "03 05", "03 07", "03 09", "03 11"}));
    EXPECT_EQ(ticks[1].labelBox.left, 112);
    EXPECT_EQ(ticks[1].labelBox.top, 260);
    EXPECT_EQ(ticks[1].labelBox.right, 148);
    EXPECT_EQ(ticks[1].labelBox.bottom, 280);

    ticks = LayoutDateTicks(Entry(2006, 3, 1), Entry(2006, 3, 16));
    EXPECT_EQ(TickXs(ticks), (std::vector<int>{50, 103, 156, 210, 263, 316, 370, 423, 450}));
    EXPECT_EQ(ticks[7].label, "03 15");
    EXPECT_EQ(ticks[8].label, "03 16");
    EXPECT_EQ(ticks[7].labelBox.top, 260);
    EXPECT_EQ(ticks[8].labelBox.top, 270) << "the extra tick's label is lowered";
    EXPECT_EQ(ticks[8].labelBox.bottom, 290);

    ticks = LayoutDateTicks(Entry(2006, 3, 1), Entry(2006, 3, 10));
    EXPECT_EQ(TickXs(ticks), (std::vector<int>{50, 94, 138, 183, 227, 272, 316, 361, 405, 450}));
    // Daily labels 44 pixels apart never overlap, so none is lowered.
    for (const DateTick& tick : ticks)
        EXPECT_EQ(tick.labelBox.top, 260);

    ticks = LayoutDateTicks(Entry(2006, 1, 1), Entry(2006, 4, 8));
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks[9].x, 421);
    EXPECT_EQ(ticks[9].label, "04 01");
    EXPECT_EQ(ticks[10].x, 449);
    EXPECT_EQ(ticks[10].label, "04 08");
}

TEST(StepChartTest, DateLabelsFollowTheCalendarAcrossClockChanges) {
    const std::vector<std::string> autumn{"10 20", "10 22", "10 24", "10 26", "10 28",
                                          "10 30", "11 01", "11 03", "11 05"};
    const std::vector<int> autumnXs{50, 100, 150, 200, 250, 300, 350, 400, 450};
    {
        ScopedTimeZone zone("Europe/Berlin"); // clocks went back on 29 October
        auto ticks = LayoutDateTicks(Entry(2006, 10, 20), Entry(2006, 11, 5));
        EXPECT_EQ(TickLabels(ticks), autumn);
        EXPECT_EQ(TickXs(ticks), autumnXs) << "no second tick on the last date";
    }
    {
        ScopedTimeZone zone("America/New_York"); // clocks went back on 29 October
        auto ticks = LayoutDateTicks(Entry(2006, 10, 20), Entry(2006, 11, 5));
        EXPECT_EQ(TickLabels(ticks), autumn);
        EXPECT_EQ(TickXs(ticks), autumnXs);
        ticks = LayoutDateTicks(Entry(2007, 10, 31), Entry(2007, 11, 20)); // back on 4 November
        EXPECT_EQ(TickLabels(ticks),
                  (std::vector<std::string>{"10 31", "11 03", "11 06", "11 09", "11 12", "11 15",
                                            "11 18", "11 20"}));
        const std::vector<int> xs = TickXs(ticks);
        EXPECT_EQ(std::set<int>(xs.begin(), xs.end()).size(), xs.size());

        // Springing forward (11 March 2007) leaves the labels as they always were.
        ticks = LayoutDateTicks(Entry(2007, 3, 1), Entry(2007, 3, 16));
        EXPECT_EQ(TickXs(ticks), (std::vector<int>{50, 103, 156, 210, 263, 316, 370, 423, 450}));
        EXPECT_EQ(TickLabels(ticks),
                  (std::vector<std::string>{"03 01", "03 03", "03 05", "03 07", "03 09", "03 11",
                                            "03 13", "03 15", "03 16"}));
    }
}

TEST(StepChartTest, LastDateTickComparesWholeDates) {
    ScopedTimeZone zone("Asia/Tokyo");
    // The last regular tick falls on 31 December; 1 January still gets its own.
    auto ticks = LayoutDateTicks(Entry(2006, 12, 13), Entry(2007, 1, 1));
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks[9].label, "12 31");
    EXPECT_EQ(ticks[10].label, "01 01");
    EXPECT_EQ(ticks[10].x, 450);

    // Over three years the eleventh step would pass the last date by one day yet
    // still round onto x 450; the last date's own tick is drawn there instead.
    ticks = LayoutDateTicks(Entry(2006, 1, 1), Entry(2009, 1, 4));
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().x, 450);
    EXPECT_EQ(ticks.back().label, "01 04");
    EXPECT_EQ(ticks[ticks.size() - 2].x, 410);

    // One date only: a single tick in the middle.
    ticks = LayoutDateTicks(Entry(2006, 5, 7), Entry(2006, 5, 7));
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].x, 250);
    EXPECT_EQ(ticks[0].label, "05 07");
}

TEST(StepChartTest, GridOfTheWorkedExamplesAndExtremes) {
    const auto ys = [](const std::vector<GridLine>& lines) {
        std::vector<int> result;
        for (const GridLine& line : lines)
            result.push_back(line.y);
        return result;
    };
    auto lines = LayoutGridLines(1000);
    EXPECT_EQ(ys(lines), (std::vector<int>{250, 226, 202, 178, 154, 130, 106, 82, 58, 34, 10, 10}));
    EXPECT_EQ(lines[1].label, "100");
    EXPECT_EQ(lines[10].label, "1000");
    EXPECT_EQ(lines[11].label, "1000");
    EXPECT_EQ(lines[3].labelBox.left, 0);
    EXPECT_EQ(lines[3].labelBox.top, 171);
    EXPECT_EQ(lines[3].labelBox.right, 50);
    EXPECT_EQ(lines[3].labelBox.bottom, 198);

    lines = LayoutGridLines(1234);
    EXPECT_EQ(ys(lines), (std::vector<int>{250, 226, 202, 178, 154, 130, 106, 82, 58, 33, 10}));
    EXPECT_EQ(lines[9].label, "1116");
    EXPECT_EQ(lines[10].label, "1234");

    lines = LayoutGridLines(12345);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[10].y, 10);
    EXPECT_EQ(lines[10].label, "12350");
    EXPECT_EQ(lines[11].y, 11);
    EXPECT_EQ(lines[11].label, "12345");

    // All zeros: the scale of a maximum of 1, so the labels stay true.
    lines = LayoutGridLines(0);
    EXPECT_EQ(ys(lines), (std::vector<int>{250, 10, 10}));
    EXPECT_EQ(lines[0].label, "0");
    EXPECT_EQ(lines[2].label, "1");

    // The grid value goes past the largest count without wrapping.
    lines = LayoutGridLines(4294967294u);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[10].label, "4294967300");
    EXPECT_EQ(lines[11].label, "4294967294");
    EXPECT_EQ(lines[11].y, 10);
}

TEST(StepChartTest, AxesTicksAndGridOnTheCanvas) {
    ScopedTimeZone zone("Europe/Berlin");
    // Counts of 0 keep the data line on the x axis, out of the way of the grid.
    const Canvas canvas = Chart(nullptr, {Entry(2006, 3, 1), Entry(2006, 3, 11)}, 1000, false);

    // Between two grid lines only the ticks cross row 240.
    const std::set<int> ticks{50, 130, 210, 290, 370, 450};
    for (int x = 0; x < 500; ++x)
        EXPECT_EQ(canvas.PixelAt(x, 240), ticks.count(x) ? kGrid : kWhite) << "x " << x;
    // Left of the first tick only the grid lines cross column 60.
    const std::set<int> grid{10, 34, 58, 82, 106, 130, 154, 178, 202, 226};
    for (int y = 0; y < 245; ++y)
        EXPECT_EQ(canvas.PixelAt(60, y), grid.count(y) ? kGrid : kWhite) << "y " << y;
    // Lines stop short of their end points.
    EXPECT_EQ(canvas.PixelAt(130, 10), kGrid);
    EXPECT_EQ(canvas.PixelAt(130, 9), kWhite);
    EXPECT_EQ(canvas.PixelAt(449, 10), kGrid);
    EXPECT_EQ(canvas.PixelAt(450, 10), kGrid) << "the last tick";
    EXPECT_EQ(canvas.PixelAt(451, 10), kWhite);
    EXPECT_EQ(canvas.PixelAt(50, 9), kWhite);
    // The zero line carries the data line; the points sit on it.
    EXPECT_EQ(canvas.PixelAt(300, 250), kLine);
    ExpectMarker(canvas, 450, 250);
    // Without a font nothing at all is written below the plot or left of it.
    for (int y = 254; y < 300; ++y)
        for (int x = 0; x < 500; ++x)
            ASSERT_EQ(canvas.PixelAt(x, y), kWhite) << x << ", " << y;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 47; ++x)
            ASSERT_EQ(canvas.PixelAt(x, y), kWhite) << x << ", " << y;
}

TEST(StepChartTest, PointsMarkersAndTheDataLine) {
    ScopedTimeZone zone("America/New_York");
    // 11 days from 1 March: 40 pixels a day. Two entries share 5 March.
    const std::vector<StepRecord> entries{Entry(2006, 3, 1, 500), Entry(2006, 3, 5, 1000),
                                          Entry(2006, 3, 5, 250), Entry(2006, 3, 11, 0)};
    const Canvas canvas = Chart(nullptr, entries, 1000, false);

    ExpectMarker(canvas, 50, 130);
    ExpectMarker(canvas, 210, 10);
    ExpectMarker(canvas, 210, 190);
    ExpectMarker(canvas, 450, 250);
    // 5 March's two counts are joined by a vertical stretch of the line.
    for (int y = 13; y < 187; ++y)
        ASSERT_EQ(canvas.PixelAt(210, y), kLine) << "y " << y;
    EXPECT_EQ(canvas.PixelAt(211, 100), kWhite);
    // Halfway along the rising first stretch, and the falling last one.
    EXPECT_EQ(canvas.PixelAt(130, 70), kLine);
    EXPECT_EQ(canvas.PixelAt(330, 220), kLine);
}

TEST(StepChartTest, LabelsAndValueLabelsAsText) {
    ScopedTimeZone zone("Europe/Berlin");
    const std::vector<StepRecord> entries{Entry(2006, 3, 1, 500), Entry(2006, 3, 15, 8000),
                                          Entry(2006, 3, 16, 4294967294u)};
    RecordingFont font;
    Canvas canvas(500, 300, 32);

    DrawStepChart(canvas, &font, entries, 8000, true);
    std::vector<RecordingFont::Call> values;
    std::size_t dateLabels = 0;
    for (const auto& call : font.calls) {
        if (call.align == TextAlign::Left)
            values.push_back(call);
        else
            dateLabels += call.box.top >= 260;
    }
    EXPECT_EQ(dateLabels, 9u);
    ASSERT_EQ(values.size(), 2u) << "the first point has no value label";
    EXPECT_EQ(values[0].text, "03 15 - 8000");
    EXPECT_EQ(values[1].text, "03 16 - 4294967294");
    EXPECT_FALSE(values[0].style.opaque);
    EXPECT_EQ(values[0].style.colour, (Rgb{30, 0, 60}));
    // 14 days at 26.66 pixels a day; 8000 of 4294967294 steps is no height at all.
    EXPECT_EQ(values[0].box.left, 426);
    EXPECT_EQ(values[0].box.top, 247);
    EXPECT_EQ(values[0].box.right, 496);
    EXPECT_EQ(values[0].box.bottom, 264);
    EXPECT_EQ(values[1].box.left, 453);
    EXPECT_EQ(values[1].box.top, 7);
    EXPECT_TRUE(font.calls.front().style.opaque);
    EXPECT_EQ(font.calls.front().style.colour, (Rgb{0, 0, 0}));

    font.calls.clear();
    DrawStepChart(canvas, &font, entries, 8000, false);
    for (const auto& call : font.calls)
        EXPECT_EQ(call.align, TextAlign::Centre) << call.text;
}

TEST(StepChartTest, RealFontLabelsLandInTheirBoxes) {
    ScopedTimeZone zone("Europe/Berlin");
    auto font = LabelFont::Create("Verdana", 12);
    ASSERT_NE(font, nullptr);
    const std::vector<StepRecord> entries{Entry(2006, 3, 1, 0), Entry(2006, 3, 11, 1000)};
    const auto inkIn = [](const Canvas& canvas, const Rect& box) {
        int ink = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                ink += canvas.PixelAt(x, y) != kWhite;
        return ink;
    };
    const Canvas plain = Chart(font.get(), entries, 1000, false);
    EXPECT_GT(inkIn(plain, {32, 260, 68, 280}), 20) << "date label 03 01";
    EXPECT_GT(inkIn(plain, {0, 243, 50, 255}), 5) << "grid label 0";
    EXPECT_GT(inkIn(plain, {0, 3, 50, 15}), 15) << "grid label 1000";
    // The last point's value label lies right of the plot, at y 7 to 24.
    EXPECT_EQ(inkIn(plain, {453, 7, 500, 24}), 0);
    const Canvas valued = Chart(font.get(), entries, 1000, true);
    EXPECT_GT(inkIn(valued, {453, 7, 500, 24}), 30);
    EXPECT_EQ(inkIn(valued, {53, 255, 123, 258}), 0) << "no value label for the first point";
}

TEST(StepChartTest, ZeroSpanAndZeroMaximum) {
    ScopedTimeZone zone("Asia/Tokyo");
    const Canvas single = Chart(nullptr, {Entry(2006, 5, 7, 0)}, 0, true);
    ExpectMarker(single, 250, 250);
    EXPECT_EQ(single.PixelAt(250, 100), kGrid) << "the one date's tick";
    EXPECT_EQ(single.PixelAt(300, 10), kGrid) << "top line";
    EXPECT_EQ(single.PixelAt(300, 100), kWhite);

    const Canvas oneDay = Chart(
        nullptr, {Entry(2006, 5, 7, 10), Entry(2006, 5, 7, 30), Entry(2006, 5, 7, 20)}, 30, false);
    ExpectMarker(oneDay, 250, 170);
    ExpectMarker(oneDay, 250, 10);
    ExpectMarker(oneDay, 250, 90);
    EXPECT_EQ(oneDay.PixelAt(250, 50), kLine);
}
