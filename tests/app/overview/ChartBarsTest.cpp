// The overview chart's bars and scale.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChartBars.h"
#include "EditText.h"
#include "ExportValues.h"

namespace {

std::chrono::sys_days Date(const char* text) {
    return std::chrono::sys_days(*ParseIsoDateText(text));
}

std::string Text(std::chrono::sys_days date) {
    return IsoDateText(std::chrono::year_month_day(date));
}

std::string Text(const ChartBar& bar) {
    return Text(bar.from) + ".." + Text(bar.to) + "=" + std::to_string(bar.steps);
}

} // namespace

// Each bar holds its days' steps a day, up to the as-of date; a month and a
// year have their calendar days, leap days included.
TEST(ChartBarsTest, BarsAverageTheirDaysUpToTheDate) {
    const std::vector<DayTotal> totals = {{Date("2022-06-01"), 3650},
                                          {Date("2024-02-29"), 290},
                                          {Date("2024-03-01"), 31},
                                          {Date("2024-03-02"), 999}};
    const struct {
        ChartSpan span;
        std::size_t count;
        const char* first;
        const char* last; // the last three bars
    } cases[] = {
        {ChartSpan::kLast7Days, 7, "2024-02-24..2024-02-24=0",
         "2024-02-28..2024-02-28=0 2024-02-29..2024-02-29=290 2024-03-01..2024-03-01=31"},
        {ChartSpan::kLast30Days, 30, "2024-02-01..2024-02-01=0",
         "2024-02-28..2024-02-28=0 2024-02-29..2024-02-29=290 2024-03-01..2024-03-01=31"},
        {ChartSpan::kLast12Months, 12, "2023-04-01..2023-04-30=0",
         "2024-01-01..2024-01-31=0 2024-02-01..2024-02-29=10 2024-03-01..2024-03-01=31"},
        {ChartSpan::kAllYears, 3, "2022-01-01..2022-12-31=10",
         "2022-01-01..2022-12-31=10 2023-01-01..2023-12-31=0 2024-01-01..2024-03-01=5"},
    };
    for (const auto& c : cases) {
        const std::vector<ChartBar> bars = ChartBarsOf(totals, Date("2024-03-01"), c.span);
        ASSERT_EQ(bars.size(), c.count);
        EXPECT_EQ(Text(bars.front()), c.first);
        EXPECT_EQ(Text(bars.end()[-3]) + " " + Text(bars.end()[-2]) + " " + Text(bars.back()),
                  c.last);
    }
}

// The axis reaches the largest value in at most five round steps.
TEST(ChartBarsTest, ScaleRisesInRoundSteps) {
    const struct {
        std::uint64_t largest, step, top;
    } cases[] = {{0, 1, 1},
                 {1, 1, 1},
                 {7, 2, 8},
                 {10, 2, 10},
                 {11, 5, 15},
                 {12345, 5000, 15000},
                 {99999, 20000, 100000},
                 {100001, 50000, 150000},
                 {17179869176, 5000000000, 20000000000}};
    for (const auto& c : cases) {
        const ChartScale scale = ScaleFor(c.largest);
        EXPECT_EQ(scale.step, c.step) << c.largest;
        EXPECT_EQ(scale.top, c.top) << c.largest;
    }
    EXPECT_EQ(ScaleFor(12345).Ticks(), (std::vector<std::uint64_t>{0, 5000, 10000, 15000}));
}
