#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

#include "ChartLine.h"
#include "EntryDate.h"
#include "StepChart.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

constexpr Rgb kLine{200, 70, 50};
constexpr Rgb kMarker{60, 30, 30};

// Every segment and then the marker at its end, in turn: what the chart drew
// before column runs.
void DrawEveryPoint(Canvas& canvas, const std::vector<ChartPoint>& points) {
    canvas.MoveTo(points[0].x, points[0].y);
    FillMarker(canvas, points[0], kMarker);
    for (std::size_t i = 1; i < points.size(); ++i) {
        canvas.LineTo(points[i].x, points[i].y, kLine);
        FillMarker(canvas, points[i], kMarker);
    }
}

std::vector<Rgb> Pixels(const Canvas& canvas) {
    std::vector<Rgb> pixels;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            pixels.push_back(canvas.PixelAt(x, y));
    return pixels;
}

void ExpectSamePixels(const std::vector<ChartPoint>& points, int bitsPerPixel, int round) {
    Canvas expected(500, 300, bitsPerPixel);
    Canvas drawn(500, 300, bitsPerPixel);
    expected.FillRect({0, 0, 500, 300}, {255, 255, 255});
    drawn.FillRect({0, 0, 500, 300}, {255, 255, 255});
    DrawEveryPoint(expected, points);
    DrawChartLine(drawn, points, kLine, kMarker);
    EXPECT_TRUE(Pixels(drawn) == Pixels(expected))
        << "round " << round << ", " << bitsPerPixel << " bits, " << points.size() << " points";
}

} // namespace

TEST(ChartLineTest, ColumnRunsGiveThePixelsOfEverySegmentDrawnInTurn) {
    std::mt19937 random(19);
    for (int round = 0; round < 300; ++round) {
        // Few columns and many points, so that runs are long and cross each
        // other; some points off the canvas.
        const int columns = 1 + static_cast<int>(random() % 6);
        std::vector<ChartPoint> points(1 + random() % 200);
        int x = static_cast<int>(random() % 500);
        for (ChartPoint& point : points) {
            if (random() % 8 < static_cast<unsigned>(columns))
                x = std::clamp(x + static_cast<int>(random() % 9) - 4, -5, 505);
            point = {x, static_cast<int>(random() % 320) - 10};
        }
        ExpectSamePixels(points, round % 3 == 0 ? 4 : 32, round);
    }
}

TEST(ChartLineTest, RandomDiariesChartThePixelsOfEverySegmentDrawnInTurn) {
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    std::mt19937 random(2024);
    for (int round = 0; round < 20; ++round) {
        std::vector<StepRecord> entries;
        std::chrono::sys_days day = std::chrono::year{1990 + round} / 1 / 1;
        const std::size_t count = 50 + random() % 5000;
        for (std::size_t i = 0; i < count; ++i) {
            StepRecord r;
            r.steps = static_cast<std::uint32_t>(random() % 30000);
            SetEntryDate(r, std::chrono::year_month_day{day});
            entries.push_back(r);
            day += std::chrono::days{random() % 4 == 0 ? 0 : 1 + random() % 3};
        }
        ExpectSamePixels(LayoutChartPoints(entries, 25000), 32, round);
    }
}
